#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "durable/safe_writer.h"
#include "settings/memo_file.h"
#include "settings_fixture.h"

namespace vsr::settings::test {
namespace {

namespace fs = std::filesystem;

TEST(MemoFiles, LineBreaksSurviveTheRoundTrip) {
    struct Case {
        std::string memo, file;
    };
    const Case cases[] = {
        {"one", "one\r\n"},
        {"one\n", "one\r\n\r\n"},  // a trailing line break is kept
        {"one\ntwo", "one\r\ntwo\r\n"},
        {"\n", "\r\n\r\n"},
        {"a\n\n\nb", "a\r\n\r\n\r\nb\r\n"},
        {"", "\r\n"},
        {" lead\ttab ", " lead\ttab \r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(memoFileBytes(c.memo), c.file) << c.memo;
        EXPECT_EQ(memoTextFromFile(c.file), c.memo) << c.memo;
    }
}

TEST(MemoFiles, ForeignLineEndsReadAsLineBreaks) {
    struct Case {
        std::string file, memo;
    };
    const Case cases[] = {
        {"a\nb\n", "a\nb"},       // LF
        {"a\rb\r", "a\nb"},       // CR
        {"a\r\n\nb", "a\n\nb"},   // mixed, no final break
        {"", ""},
        {std::string("x\0y\r\n", 5), std::string("x\0y", 3)},  // bytes pass through
    };
    for (const Case& c : cases) EXPECT_EQ(memoTextFromFile(c.file), c.memo);
}

TEST_F(SettingsTest, EmptyMemoCreatesNoFileButEmptiesAnExistingOne) {
    StoredSettings s = firstStartSettings(env());
    ASSERT_TRUE(storage().SaveSettings(s, true).ok());
    for (const char* name : {kFindMemoFile, kSearchMemoFile, kReplaceMemoFile, kDirectIgnoreListFile,
                             kFileIgnoreListFile})
        EXPECT_FALSE(fs::exists(dataDir.path() / name)) << name;

    s.memos.memo2 = "replacement\n";
    ASSERT_TRUE(storage().SaveSettings(s, false).ok());
    EXPECT_EQ(vsr::test::readFile(dataDir.path() / kReplaceMemoFile), "replacement\r\n\r\n");

    s.memos.memo2.clear();
    ASSERT_TRUE(storage().SaveSettings(s, false).ok());
    StoredSettings loaded;
    loaded.memos.memo2 = "stale";
    storage().LoadSettings(loaded, false);
    EXPECT_EQ(loaded.memos.memo2, "");
}

// A save that changes nothing leaves every file as it was (same inode, same bytes, also bytes
// that are not UTF-8 in the ignore lists' names); only a changed memo is written.
TEST_F(SettingsTest, UnchangedMemosAreNotRewritten) {
    StoredSettings s = firstStartSettings(env());
    s.memos = {"find", "search\n", "replace"};
    s.dialog.directIgnoreList = "/srv/old\xFF\n/tmp";
    s.dialog.fileIgnoreList = "inv\xFF" "alid.txt\n*.bak";
    // A list typed elsewhere with LF line ends reads as the same list.
    dataDir.write(kFileIgnoreListFile, "inv\xFF" "alid.txt\n*.bak\n");
    ASSERT_TRUE(storage().SaveSettings(s, true).ok());
    const char* names[] = {kFindMemoFile, kSearchMemoFile, kReplaceMemoFile, kDirectIgnoreListFile, kFileIgnoreListFile};
    auto inodes = [&] {
        std::vector<std::pair<std::uintmax_t, std::string>> out;
        for (const char* name : names) {
            struct stat st {};
            ::stat((dataDir.path() / name).c_str(), &st);
            out.emplace_back(st.st_ino, vsr::test::readFile(dataDir.path() / name));
        }
        return out;
    };
    const auto before = inodes();
    EXPECT_EQ(before[4].second, "inv\xFF" "alid.txt\n*.bak\n");

    StoredSettings loaded = s;
    storage().LoadSettings(loaded, true);
    EXPECT_EQ(loaded.dialog.fileIgnoreList, s.dialog.fileIgnoreList);
    ASSERT_TRUE(storage().SaveSettings(loaded, true).ok());
    EXPECT_EQ(inodes(), before);

    loaded.memos.memo2 = "changed";
    ASSERT_TRUE(storage().SaveSettings(loaded, true).ok());
    const auto after = inodes();
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(after[i] == before[i], names[i] != std::string(kReplaceMemoFile)) << names[i];
}

TEST_F(SettingsTest, MissingDataFolderLeavesMemosAsTheyWere) {
    SettingsStorage missing(store, (dataDir.path() / "nowhere").string(), env());
    StoredSettings s;
    s.memos = {"find", "search", "replace"};
    s.dialog.directIgnoreList = "/tmp";
    missing.LoadSettings(s, true);
    EXPECT_EQ(s.memos, (MemoTexts{"find", "search", "replace"}));
    EXPECT_EQ(s.dialog.directIgnoreList, "/tmp");
}

TEST_F(SettingsTest, UnwritableDataFolderIsReportedAndTheStoreStillSaved) {
    // A file where the folder should be: nothing can be created below it, even by root.
    dataDir.write("blocked", "not a folder");
    SettingsStorage blocked(store, (dataDir.path() / "blocked").string(), env());
    StoredSettings s = firstStartSettings(env());
    s.memos.findMemo = "query";
    s.options.sizeSpinEdit = 9;
    const SaveReport report = blocked.SaveSettings(s, false);
    EXPECT_TRUE(report.storeWritten);
    ASSERT_EQ(report.filesNotWritten.size(), 1u);
    EXPECT_EQ(report.filesNotWritten[0], (dataDir.path() / "blocked" / kFindMemoFile).string());
    EXPECT_EQ(option("SizeSpinEdit"), "9");
}

// Runs body with files limited to `limit` bytes, which makes writes fail as on a full disk.
template <class Fn>
void withFileSizeLimit(rlim_t limit, Fn body) {
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    body();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

TEST(AtomicFile, FullDiskLeavesTheOldContentsAndNoTemporaryFile) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("memo.tmp", "old contents\r\n");
    const std::string big(100000, 'x');
    bool written = true;
    withFileSizeLimit(4096, [&] { written = durable::writeFileAtomically(file.string(), big); });
    EXPECT_FALSE(written);
    EXPECT_EQ(vsr::test::readFile(file), "old contents\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(AtomicFile, ReplacesContentsAndKeepsPermissionsAndLinks) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("target.txt", "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = dir.path() / "link.txt";
    fs::create_symlink(file, link);

    ASSERT_TRUE(durable::writeFileAtomically(link.string(), "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(vsr::test::readFile(file), "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const fs::path fresh = dir.path() / "fresh.txt";
    ASSERT_TRUE(durable::writeFileAtomically(fresh.string(), ""));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(fs::file_size(fresh), 0u);
}

TEST(AtomicFile, RefusesWhatIsNotAFile) {
    vsr::test::TempDir dir;
    const fs::path sub = dir.mkdir("sub");
    EXPECT_FALSE(durable::writeFileAtomically(sub.string(), "x"));
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_FALSE(platform::readWholeFile(sub.string()));
    EXPECT_FALSE(platform::readWholeFile((dir.path() / "missing").string()));
}

}  // namespace
}  // namespace vsr::settings::test
