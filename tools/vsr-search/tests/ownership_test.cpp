// Modification and undo by an unprivileged user on files of other owners and groups: run through
// setpriv where the tests run as the superuser (as CI does), skipped otherwise.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kOther = 1000;  // owns the shared files; its group is the user's second group
constexpr unsigned kUser = 1001;   // runs the tool

struct Owner {
    unsigned uid, gid, mode;
    bool operator==(const Owner&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Owner& o) {
    return os << o.uid << ":" << o.gid << " " << std::oct << o.mode << std::dec;
}

class AsAnotherUser : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as other users";
        if (std::system("command -v setpriv >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs setpriv";
        // A folder every user can reach; the test root itself is private to the superuser.
        char name[] = "/tmp/vsr-owners-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        root_ = name;
        ::chmod(root_.c_str(), 0755);
        tree_ = root_ + "/tree";
        state_ = root_ + "/state";
        fs::create_directories(tree_);
        fs::create_directories(state_);
        ::chown(tree_.c_str(), kUser, kUser);
        ::chown(state_.c_str(), kUser, kUser);
    }
    void TearDown() override {
        if (!root_.empty()) fs::remove_all(root_);
    }

    std::string file(const std::string& name, const std::string& text, unsigned uid, unsigned gid, unsigned mode,
                     const std::string& folder = "") const {
        const std::string dir = folder.empty() ? tree_ : folder;
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        ::chown(path.c_str(), uid, gid);
        ::chmod(path.c_str(), mode);
        return path;
    }

    // vsr-search as the user, in its own group and the other user's group.
    vsr::test::ToolRun modify(const std::string& path, std::vector<std::string> extra) const {
        std::vector<std::string> args{"XDG_STATE_HOME=" + state_, "HOME=" + root_, "setpriv",
                                      "--reuid=" + std::to_string(kUser), "--regid=" + std::to_string(kUser),
                                      "--groups=" + std::to_string(kOther), VSR_SEARCH_EXE, "--path", path,
                                      "--query", "alpha", "--case", "--modify", "replace", "--replace", "omega"};
        args.insert(args.end(), extra.begin(), extra.end());
        return vsr::test::runProgram("env", args);
    }

    static Owner ownerOf(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return {st.st_uid, st.st_gid, st.st_mode & 07777};
    }

    std::string root_, tree_, state_;
};

TEST_F(AsAnotherUser, GroupMembersRewriteKeepsOwnerAndGroupAndItsBackupNeverGainsRights) {
    const std::string shared = file("shared.txt", "alpha\n", kOther, kOther, 0664);
    const std::string mine = file("mine.txt", "alpha\n", kUser, kOther, 0640);
    vsr::test::ToolRun run = modify(tree_, {"--backups"});
    EXPECT_NE(run.out.find(shared + "\t0\tModified"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.out.find(mine + "\t0\tModified"), std::string::npos) << run.out;
    EXPECT_EQ(vsr::test::readFile(shared), "omega\n");
    EXPECT_EQ(ownerOf(shared), (Owner{kOther, kOther, 0664}));
    EXPECT_EQ(ownerOf(mine), (Owner{kUser, kOther, 0640}));
    // The backup can't be given to the other user: it is the user's, in the kept group.
    EXPECT_EQ(ownerOf(shared + ".bak"), (Owner{kUser, kOther, 0664}));
    EXPECT_EQ(ownerOf(mine + ".bak"), (Owner{kUser, kOther, 0640}));

    file("shared.txt", "alpha\n", kOther, kOther, 0664);
    fs::remove(shared + ".bak");
    run = modify(tree_, {"--backups", "--undo-after", "--masks", "shared.txt"});
    EXPECT_NE(run.out.find(shared + "\t1\tUndid"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(vsr::test::readFile(shared), "alpha\n");
    EXPECT_EQ(ownerOf(shared), (Owner{kOther, kOther, 0664}));
    EXPECT_FALSE(fs::exists(shared + ".bak"));
    EXPECT_TRUE(fs::is_empty(state_ + "/Vantix Search & Replace/recovery"));
}

TEST_F(AsAnotherUser, SetIdFileOfAnotherOwnerIsRefusedUntouched) {
    const std::string prog = file("prog", "alpha\n", kOther, kOther, 02775);
    vsr::test::ToolRun run = modify(tree_, {"--backups"});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find(prog + "\t1\tFailed Modification"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(vsr::test::readFile(prog), "alpha\n");
    EXPECT_EQ(ownerOf(prog), (Owner{kOther, kOther, 02775}));
    EXPECT_FALSE(fs::exists(prog + ".bak"));
}

TEST_F(AsAnotherUser, FolderTheUserCantWriteIsRewrittenInPlaceThroughARecoveryCopy) {
    const std::string locked = root_ + "/locked";
    fs::create_directories(locked);
    ::chmod(locked.c_str(), 0755);
    const std::string own = file("own.txt", "alpha\n", kUser, kUser, 0644, locked);
    const std::string ro = file("ro.txt", "alpha\n", kUser, kUser, 0444, locked);
    vsr::test::ToolRun run = modify(locked, {});
    EXPECT_NE(run.out.find(own + "\t0\tModified"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.out.find(ro + "\t1\tFailed Modification"), std::string::npos) << run.out;
    EXPECT_EQ(vsr::test::readFile(own), "omega\n");
    EXPECT_EQ(vsr::test::readFile(ro), "alpha\n");
    EXPECT_TRUE(fs::is_empty(state_ + "/Vantix Search & Replace/recovery"));
    // With backups the folder refuses the backup: the user who asked for one gets no change.
    file("own.txt", "alpha\n", kUser, kUser, 0644, locked);
    run = modify(locked, {"--backups", "--read-only-ok"});
    EXPECT_NE(run.out.find(own + "\t1\tFailed Modification"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(vsr::test::readFile(own), "alpha\n");
}

TEST_F(AsAnotherUser, ReadOnlyFileAllowedByTheOptionStaysReadOnly) {
    const std::string ro = file("ro.txt", "alpha\n", kUser, kUser, 0444);
    vsr::test::ToolRun run = modify(tree_, {"--backups"});
    EXPECT_NE(run.out.find(ro + "\t1\tFailed Modification"), std::string::npos) << run.out << run.err;
    run = modify(tree_, {"--backups", "--read-only-ok"});
    EXPECT_NE(run.out.find(ro + "\t0\tModified"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(vsr::test::readFile(ro), "omega\n");
    EXPECT_EQ(ownerOf(ro), (Owner{kUser, kUser, 0444}));
}

}  // namespace
}  // namespace vsr::tools
