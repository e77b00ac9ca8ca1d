#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_uri.h"
#include "platform/freedesktop_trash.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;

void writeBytes(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// Names a file manager must get back exactly: blanks, "%" (also one that looks escaped), a
// line break, non-ASCII letters and bytes that are no UTF-8 at all.
const std::vector<std::string> kHardNames = {"with space.txt", "100%done.txt", "50%20off.txt", "new\nline.txt",
                                             "\xC3\xBCn\xC3\xAF.txt", "inv\xFF" "alid.txt", "a#b?c&d=e+f;.txt"};

// What went wrong with one trashed file, or empty: the file left its place for the trash's
// "files" folder with its bytes, and its info entry's Path, decoded, is `expectedPath`.
std::string checkTrashed(const FreedesktopTrash& trash, const fs::path& file, const std::string& contents,
                         const std::string& expectedPath) {
    if (fs::exists(fs::symlink_status(file))) return "still in place";
    const fs::path landed = trash.lastTrashed();
    if (landed.empty() || vsr::test::readFile(landed) != contents) return "not in the trash: " + landed.string();
    const fs::path info = landed.parent_path().parent_path() / "info" / (landed.filename().string() + ".trashinfo");
    const std::string text = vsr::test::readFile(info);
    const std::string head = "[Trash Info]\nPath=";
    const std::size_t end = text.find('\n', head.size());
    if (text.compare(0, head.size(), head) != 0 || end == std::string::npos) return "bad entry: " + text;
    const std::string escaped = text.substr(head.size(), end - head.size());
    for (char c : escaped)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F)
            return "unescaped byte in " + escaped;
    if (percentUnescaped(escaped) != expectedPath) return "Path " + escaped + " for " + expectedPath;
    // One more line, the deletion date, and nothing else.
    if (text.compare(end + 1, 13, "DeletionDate=") != 0 || text.size() != end + 1 + 13 + 19 + 1)
        return "bad date line: " + text;
    return {};
}

TEST(FreedesktopTrash, EveryNameComesBackFromItsEntry) {
    vsr::test::TempDir dir;
    const std::string folder = fs::canonical(dir.path()).string();
    FreedesktopTrash trash;
    for (const std::string& name : kHardNames) {
        const fs::path file = dir.write(name, "bytes of " + name);
        ASSERT_TRUE(trash.moveToTrash(file.string())) << name;
        EXPECT_EQ(checkTrashed(trash, file, "bytes of " + name, folder + "/" + name), "") << name;
        EXPECT_EQ(fs::path(trash.lastTrashed()).parent_path().parent_path(),
                  fs::path(std::getenv("XDG_DATA_HOME")) / "Trash");
    }
    // A second file of the same name gets a name of its own in the trash; the first stays.
    const fs::path first = trash.lastTrashed();
    const fs::path again = dir.write(kHardNames.back(), "again");
    ASSERT_TRUE(trash.moveToTrash(again.string()));
    EXPECT_NE(trash.lastTrashed(), first.string());
    EXPECT_EQ(checkTrashed(trash, again, "again", folder + "/" + kHardNames.back()), "");
    EXPECT_TRUE(fs::exists(first));
}

TEST(FreedesktopTrash, LinksGoAsThemselvesAndFoldersOrMissingFilesStay) {
    vsr::test::TempDir dir;
    const fs::path target = dir.write("target.txt", "kept");
    const fs::path link = dir.path() / "link.txt";
    fs::create_symlink(target, link);
    const fs::path sub = dir.mkdir("folder");
    FreedesktopTrash trash;
    ASSERT_TRUE(trash.moveToTrash(link.string()));
    EXPECT_TRUE(fs::is_symlink(trash.lastTrashed()));
    EXPECT_EQ(vsr::test::readFile(target), "kept");
    EXPECT_FALSE(trash.moveToTrash(sub.string()));
    EXPECT_FALSE(trash.moveToTrash((dir.path() / "missing.txt").string()));
    EXPECT_TRUE(fs::is_directory(sub));
}

TEST(FreedesktopTrash, AMissingDataFolderIsMadeFirst) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("first.txt", "x");
    const std::string saved = std::getenv("XDG_DATA_HOME");
    const fs::path fresh = dir.path() / "new" / "data-home";
    ::setenv("XDG_DATA_HOME", fresh.c_str(), 1);
    FreedesktopTrash trash;
    const bool sent = trash.moveToTrash(file.string());
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    ASSERT_TRUE(sent);
    EXPECT_EQ(vsr::test::readFile(fresh / "Trash" / "files" / "first.txt"), "x");
    EXPECT_EQ(fs::status(fresh / "Trash").permissions() & fs::perms::all, fs::perms::owner_all);
}

// On another file system the file goes to that file system's own trash, its Path relative to
// the top folder. The file system is a tmpfs in a mount namespace of a child process, so
// nothing outside the test sees it; where that can't be made the test is skipped.
TEST(FreedesktopTrash, AnotherFileSystemUsesItsOwnTrash) {
    vsr::test::TempDir dir;
    const fs::path mount = dir.mkdir("volume");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        auto report = [&](const std::string& text) {
            (void)!::write(pipeFds[1], text.data(), text.size());
            ::_exit(0);
        };
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=4m,mode=0755") != 0)
            report("skip");
        const std::string uid = std::to_string(::getuid());
        std::string problems;
        FreedesktopTrash trash;
        fs::create_directories(mount / "sub");
        for (const std::string& name : kHardNames) {
            const fs::path file = mount / "sub" / name;
            writeBytes(file, name);
            if (!trash.moveToTrash(file.string())) {
                problems += "not sent: " + name + "\n";
                continue;
            }
            if (fs::path(trash.lastTrashed()).parent_path().parent_path() != mount / (".Trash-" + uid))
                problems += "wrong trash: " + trash.lastTrashed() + "\n";
            const std::string p = checkTrashed(trash, file, name, "sub/" + name);
            if (!p.empty()) problems += p + "\n";
        }
        // A sticky ".Trash" an administrator made holds a folder per user.
        fs::create_directory(mount / ".Trash");
        fs::permissions(mount / ".Trash", fs::perms::all | fs::perms::sticky_bit);
        const fs::path file = mount / "shared.txt";
        writeBytes(file, "s");
        if (!trash.moveToTrash(file.string())) problems += "not sent to .Trash\n";
        else if (fs::path(trash.lastTrashed()).parent_path().parent_path() != mount / ".Trash" / uid)
            problems += "wrong shared trash: " + trash.lastTrashed() + "\n";
        else if (const std::string p = checkTrashed(trash, file, "s", "shared.txt"); !p.empty())
            problems += p + "\n";
        report(problems.empty() ? "ok" : problems);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (result == "skip") GTEST_SKIP() << "no second file system can be mounted here";
    EXPECT_EQ(result, "ok");
}

TEST(FileUri, EscapingKeepsOnlyPlainCharacters) {
    EXPECT_EQ(percentEscaped("/a b/50%20off\n\xC3\xBC\xFF~-_.txt"), "/a%20b/50%2520off%0A%C3%BC%FF~-_.txt");
    EXPECT_EQ(fileUri("/d/inv\xFF.txt"), "file:///d/inv%FF.txt");
    EXPECT_EQ(percentUnescaped("/a%20b/%zz%4%"), "/a b/%zz%4%");
}

}  // namespace
}  // namespace vsr::platform
