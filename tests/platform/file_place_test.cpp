#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_place.h"
#include "platform/kernel_file_systems.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;
using vsr::test::TempDir;

// The inode an open folder holds, or the error that refused it.
std::string outcome(int fd) {
    if (fd < 0) return "errno " + std::to_string(errno);
    struct stat st {};
    ::fstat(fd, &st);
    ::close(fd);
    return "inode " + std::to_string(st.st_ino);
}

std::string inodeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return "inode " + std::to_string(st.st_ino);
}

// openat2 and the walk one name at a time agree on every way, and both refuse every link.
TEST(OpenFolderBeneath, BothWaysReachTheSameFoldersAndRefuseTheSameLinks) {
    TempDir dir;
    dir.mkdir("root/a/b");
    dir.write("root/a/file", "x");
    dir.mkdir("outside");
    fs::create_directory_symlink("a", dir.path() / "root/lnk");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "root/a/out");
    const int root = ::open((dir.path() / "root").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(root, 0);
    const std::string loop = "errno " + std::to_string(ELOOP);
    const std::string out = "errno " + std::to_string(EXDEV);
    struct Case {
        const char* relative;
        std::string expected;
    };
    for (const Case& k : {Case{"", inodeOf(dir.path() / "root")}, Case{"a", inodeOf(dir.path() / "root/a")},
                          Case{"a/b/", inodeOf(dir.path() / "root/a/b")}, Case{"lnk", loop}, Case{"lnk/b", loop},
                          Case{"a/out", loop}, Case{"..", out}, Case{"../outside", out},
                          Case{"/etc", out}, Case{"missing", "errno " + std::to_string(ENOENT)},
                          Case{"a/file", "errno " + std::to_string(ENOTDIR)}}) {
        SCOPED_TRACE(k.relative);
        EXPECT_EQ(outcome(openFolderBeneath(root, k.relative, true)), k.expected);
        EXPECT_EQ(outcome(openFolderBeneath(root, k.relative, false)), k.expected);
    }
    ::close(root);
}

std::string placed(const SearchedTree& tree, const std::string& path) {
    std::string why;
    std::optional<FilePlace> place = tree.place(path, why);
    return place ? place->path() : why;
}

TEST(SearchedTree, PlacesFilesBeneathTheRootAndLinkTargetsOnlyWhenTheyLieThere) {
    TempDir dir;
    const std::string root = (dir.path() / "R").string();
    const std::string real = fs::canonical(dir.path()).string();
    dir.write("R/d/a.txt", "x");
    dir.write("O/o.txt", "x");
    fs::create_symlink("d/a.txt", dir.path() / "R/in.txt");
    fs::create_symlink(dir.path() / "O/o.txt", dir.path() / "R/out.txt");
    fs::create_symlink("missing", dir.path() / "R/dangling.txt");
    fs::create_directory_symlink(dir.path() / "O", dir.path() / "R/o");
    for (const bool byName : {false, true}) {
        SCOPED_TRACE(byName);
        SearchedTree tree(root + "/");
        tree.setNameByName(byName);
        EXPECT_EQ(placed(tree, root + "/d/a.txt"), root + "/d/a.txt");
        EXPECT_EQ(placed(tree, root + "/in.txt"), real + "/R/d/a.txt");
        EXPECT_EQ(placed(tree, root + "/out.txt"),
                  "it is a symbolic link to " + real + "/O/o.txt, which lies outside the searched folder");
        EXPECT_EQ(placed(tree, root + "/o/o.txt"),
                  "a folder on its way from the searched folder is a symbolic link now, and a modification follows none");
        EXPECT_EQ(placed(tree, dir.str() + "/O/o.txt"), "it does not lie in the searched folder");
        EXPECT_EQ(placed(tree, root + "/dangling.txt"),
                  "it is a symbolic link whose target can't be reached: No such file or directory");
        EXPECT_EQ(placed(tree, root + "/gone.txt"), "it can't be reached: No such file or directory");
    }
    // Without a root, the file's own folder is one.
    SearchedTree own("");
    EXPECT_EQ(placed(own, root + "/in.txt"), real + "/R/d/a.txt");
    EXPECT_EQ(placed(own, root + "/d/a.txt"), root + "/d/a.txt");
}

TEST(SearchedTree, RefusesTheKernelsOwnFileSystems) {
    struct Case {
        const char* root;
        const char* file;
        const char* kind;
    };
    for (const Case& k : {Case{"/proc", "/proc/sys/kernel/ostype", "proc"}, Case{"/sys", "/sys/kernel/uevent_seqnum", "sysfs"},
                          Case{"/dev", "/dev/null", "devtmpfs"}}) {
        SCOPED_TRACE(k.file);
        const int fd = ::open(k.root, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) GTEST_SKIP() << k.root << " is not there";
        const char* kind = kernelFileSystemOf(fd);
        ::close(fd);
        // A container may give /dev a plain tmpfs: nothing of the kernel's there.
        if (!kind && std::string(k.kind) == "devtmpfs") continue;
        EXPECT_STREQ(kind, k.kind);
        SearchedTree tree(k.root);
        EXPECT_EQ(placed(tree, k.file),
                  std::string("it lies on the kernel's ") + k.kind + " file system, whose files are never modified");
    }
    TempDir dir;
    const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(kernelFileSystemOf(fd), nullptr);
    ::close(fd);
}

}  // namespace
}  // namespace vsr::platform
