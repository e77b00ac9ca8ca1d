// A cache file replaced whole: a reader finds the old bytes or all the new ones, and a writer
// killed at any moment leaves no half-written file beside it, in a folder with unnamed files
// (the usual case) as in one without them.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/cache_files.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CacheFiles, AWriterKilledAtAnyMomentLeavesTheOldFileOrTheNewOneAndNothingElse) {
    test::TempDir dir;
    const std::string path = dir.str() + "/cache.idx";
    const std::string old(1 << 20, 'o');
    ASSERT_TRUE(replaceFileWhole(path, old));
    const std::string fresh(48 << 20, 'n');
    std::mt19937 rng(17);
    int killedWhileWriting = 0;
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(replaceFileWhole(path, fresh) ? 0 : 1);
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 30000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killedWhileWriting;
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"cache.idx"}) << "round " << round;
        const std::string now = test::readFile(path);
        EXPECT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        ASSERT_TRUE(replaceFileWhole(path, old));
    }
    // Some kills fell inside the write, or the rounds said nothing.
    EXPECT_GT(killedWhileWriting, 1) << "of 12";
}

TEST(CacheFiles, AFailedReplacementChangesNothingAndLeavesNothing) {
    test::TempDir dir;
    const std::string path = dir.str() + "/cache.idx";
    ASSERT_TRUE(replaceFileWhole(path, "old bytes"));
    // A folder where the file should be: the rename fails, the folder stays as it was.
    const std::string blocked = dir.str() + "/blocked";
    fs::create_directories(blocked + "/inside");
    EXPECT_FALSE(replaceFileWhole(blocked, "new bytes"));
    EXPECT_FALSE(replaceFileWhole(dir.str() + "/missing/cache.idx", "new bytes"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"blocked", "cache.idx"}));
    EXPECT_EQ(test::readFile(path), "old bytes");
    EXPECT_TRUE(replaceFileWhole(path, ""));
    EXPECT_EQ(test::readFile(path), "");
}

}  // namespace
}  // namespace vsr::platform
