#include <gtest/gtest.h>

#include <filesystem>

#include "fileops/file_watch.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;

TEST(FileWatch, SeesOneSaveAfterItWasArmed) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("a.txt", "one");
    const auto start = fs::last_write_time(file);
    FileWatch watch;
    watch.remember(file.string());
    EXPECT_FALSE(watch.changed(file.string()));  // not armed yet
    watch.arm();
    EXPECT_FALSE(watch.changed(file.string()));  // armed, nothing saved
    EXPECT_TRUE(watch.watching());

    fs::last_write_time(file, start + std::chrono::seconds(2));
    EXPECT_TRUE(watch.changed(file.string()));
    EXPECT_FALSE(watch.watching());
    EXPECT_FALSE(watch.changed(file.string()));  // once only

    // A file that is gone is no change; the watch stays armed until it comes back newer.
    watch.arm();
    fs::remove(file);
    EXPECT_FALSE(watch.changed(file.string()));
    dir.write("a.txt", "two");
    fs::last_write_time(file, start + std::chrono::seconds(5));
    EXPECT_TRUE(watch.changed(file.string()));
}

}  // namespace
}  // namespace vsr::fileops
