// Shared main of every test program: no test may touch the real user's
// settings, so HOME and the XDG folders point into a private temporary root.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path& root = vsr::test::testRoot();
    for (const char* sub : {"home", "config", "data", "cache", "runtime"}) fs::create_directories(root / sub);
    fs::permissions(root / "runtime", fs::perms::owner_all);
    ::setenv("HOME", (root / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    fs::remove_all(root, ec);
    return rc;
}
