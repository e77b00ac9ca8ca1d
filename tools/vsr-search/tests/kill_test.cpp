// Kills a modification (and a modification with undo) at many random moments and checks that
// every file comes back wholly old or wholly new once the next start has recovered.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "durable/recovery_journal.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string replaced(std::string text) {
    for (std::size_t at = text.find("alpha"); at != std::string::npos; at = text.find("alpha", at + 5))
        text.replace(at, 5, "omega");
    return text;
}

// A tree of small files, a large file, and a file with a second name outside the tree (which
// is rewritten in place).
class KillTree {
public:
    explicit KillTree(bool backups) : backups_(backups) {
        for (int i = 0; i < 200; ++i) {
            std::string text;
            for (int l = 0; l <= i % 7; ++l) text += "line " + std::to_string(l) + " alpha beta\n";
            old_["t/f" + std::to_string(i) + ".txt"] = text;
        }
        std::string big;
        while (big.size() < 4'000'000) big += "some alpha text of the large file, and more of it\n";
        old_["t/big.txt"] = big;
        old_["t/linked.txt"] = big.substr(0, 1'500'000);
        reset();
    }

    std::string root() const { return dir_.str() + "/t"; }

    // Puts every file back in its old state and removes everything else.
    void reset() {
        fs::remove_all(dir_.path() / "t");
        fs::remove_all(dir_.path() / "out");
        for (const auto& [name, text] : old_) dir_.write(name, text);
        dir_.mkdir("out");
        fs::create_hard_link(dir_.path() / "t/linked.txt", dir_.path() / "out/linked.txt");
    }

    // Every file is wholly old or wholly new, a backup holds the old bytes, a file rewritten with
    // backups asked for has its backup, both names of the linked file are one file, and nothing
    // else is in the tree.
    void check(const std::string& when) const {
        for (const auto& [name, text] : old_) {
            const std::string now = vsr::test::readFile(dir_.path() / name);
            EXPECT_TRUE(now == text || now == replaced(text)) << name << " is half rewritten " << when;
            const fs::path bak = dir_.path() / (name + ".bak");
            if (fs::exists(bak)) {
                EXPECT_EQ(vsr::test::readFile(bak), text) << name << ".bak " << when;
            } else if (backups_) {
                EXPECT_EQ(now, text) << name << " was rewritten without its backup " << when;
            }
        }
        EXPECT_TRUE(fs::equivalent(dir_.path() / "t/linked.txt", dir_.path() / "out/linked.txt")) << when;
        for (const auto& e : fs::recursive_directory_iterator(dir_.path())) {
            if (e.is_directory()) continue;
            std::string rel = fs::relative(e.path(), dir_.path()).string();
            if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".bak") == 0) rel.resize(rel.size() - 4);
            EXPECT_TRUE(old_.count(rel) || rel == "out/linked.txt") << "left behind: " << rel << " " << when;
        }
    }

private:
    bool backups_;
    vsr::test::TempDir dir_;
    std::map<std::string, std::string> old_;
};

// The names and sizes of what a folder holds, for a failure's message.
std::string listing(const std::string& folder) {
    std::string text;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        text += "\n  " + e.path().filename().string();
        if (e.is_regular_file(ec)) text += " (" + std::to_string(e.file_size(ec)) + " bytes)";
    }
    return text;
}

pid_t start(const std::vector<std::string>& args) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(VSR_SEARCH_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(VSR_SEARCH_EXE, argv.data());
        ::_exit(127);
    }
    return pid;
}

// Runs the tool once to its end; the time it took.
Clock::duration fullRun(const std::vector<std::string>& args) {
    const auto t0 = Clock::now();
    int status = 0;
    ::waitpid(start(args), &status, 0);
    return Clock::now() - t0;
}

// VSR_KILLS and VSR_KILL_SEED give another number of kills and other moments, for a longer run
// by hand.
void killRepeatedly(KillTree& tree, const std::vector<std::string>& args, int kills, unsigned seed) {
    if (const char* n = std::getenv("VSR_KILLS")) kills = std::atoi(n);
    if (const char* s = std::getenv("VSR_KILL_SEED")) seed = static_cast<unsigned>(std::strtoul(s, nullptr, 10));
    const Clock::duration whole = fullRun(args);
    tree.check("after a whole run");
    tree.reset();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    vsr::test::TempDir empty;
    int recovered = 0;
    for (int k = 0; k < kills; ++k) {
        const long long us = moment(random);
        pid_t child = start(args);
        std::this_thread::sleep_for(std::chrono::microseconds(us));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        // The next start of the tool puts back what the killed one left half done.
        const vsr::test::ToolRun next = vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", empty.str(), "--query", "x"});
        if (!next.err.empty() && next.err.find("put back") != std::string::npos) ++recovered;
        tree.check("after a kill at " + std::to_string(us) + " us");
        const std::string notes = durable::recoveryFolder();
        EXPECT_TRUE(fs::is_empty(notes)) << "recovery notes left after a kill at " << us << " us:" << listing(notes)
                                         << "\nthe next start said: " << next.err;
        if (::testing::Test::HasFailure()) return;
        tree.reset();
    }
    std::printf("%d kills over %lld ms runs, %d of them recovered a file at the next start\n", kills,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(whole).count()), recovered);
}

TEST(KillDuringModification, EveryFileIsWhollyOldOrWhollyNew) {
    KillTree tree(false);
    killRepeatedly(tree, {"--path", tree.root(), "--query", "alpha", "--case", "--modify", "replace", "--replace",
                          "omega", "--separator", "unix"},
                   20, 11);
}

TEST(KillDuringModification, WithBackupsAndUndoEveryFileIsWhollyOldOrWhollyNew) {
    KillTree tree(true);
    killRepeatedly(tree, {"--path", tree.root(), "--query", "alpha", "--case", "--modify", "replace", "--replace",
                          "omega", "--separator", "unix", "--backups", "--undo-after"},
                   20, 23);
}

}  // namespace
}  // namespace vsr::tools
