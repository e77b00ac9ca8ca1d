// Members of archives among the listed files: copied out as the files they were, opened as
// read-only copies in a private folder that goes when the program does, and never deleted or
// renamed, not even beside plain files in one selection.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fileops/copy_files.h"
#include "fileops/delete_files.h"
#include "fileops/member_copies.h"
#include "fileops/rename_files.h"
#include "scripted_prompter.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;
using test::ScriptedPrompter;
using vsr::test::readFile;

// a.zip holds src/m.c, memo.docx (a zip itself, kept as its bytes) and inner.tar.gz with
// deep.txt; notes.txt.gz holds notes.txt; cut.zip is a.zip without its second half.
void makeArchives(const std::string& d) {
    const std::string script = R"PY(
import sys, io, zipfile, tarfile, gzip
d = sys.argv[1]
doc = io.BytesIO()
with zipfile.ZipFile(doc, "w") as z: z.writestr("word/document.xml", "<w:document/>")
inner = io.BytesIO()
with tarfile.open(fileobj=inner, mode="w:gz") as t:
    data = b"deep text\n"; info = tarfile.TarInfo("deep.txt"); info.size = len(data); t.addfile(info, io.BytesIO(data))
with zipfile.ZipFile(d + "/a.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("src/m.c", "int main;\n" * 50)
    z.writestr("memo.docx", doc.getvalue())
    z.writestr("inner.tar.gz", inner.getvalue())
open(d + "/memo.docx", "wb").write(doc.getvalue())
open(d + "/notes.txt.gz", "wb").write(gzip.compress(b"gzipped notes\n"))
whole = open(d + "/a.zip", "rb").read()
open(d + "/cut.zip", "wb").write(whole[: len(whole) // 2])
)PY";
    const std::string file = d + "/make.py";
    std::ofstream(file) << script;
    ASSERT_EQ(std::system(("python3 '" + file + "' '" + d + "' && rm '" + file + "'").c_str()), 0);
}

results::ResultList rowsOf(const std::vector<std::string>& fullNames) {
    results::ResultList list;
    for (const std::string& f : fullNames) {
        results::ResultItem item;
        item.path = f.substr(0, f.rfind('/'));
        item.name = f.substr(f.rfind('/') + 1);
        list.setSelected(list.AddResultItem(item), true);
    }
    return list;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class ArchiveMembersTest : public ::testing::Test {
protected:
    // Python starts slowly: the archives are made once for all the tests.
    static void SetUpTestSuite() {
        shared = new vsr::test::TempDir;
        makeArchives(shared->str());
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }
    static inline vsr::test::TempDir* shared = nullptr;
    const vsr::test::TempDir& dir = *shared;
    const std::string d = dir.str();
    vsr::test::TempDir copiesBase;
    const std::atomic<bool> noStop = false;
};

TEST_F(ArchiveMembersTest, MembersAreCopiedAsTheFilesTheyWere) {
    struct Case {
        std::string member;
        std::string bytesFrom;  // a file on disk with the member's bytes, or the bytes themselves
        bool fromFile;
    };
    const std::vector<Case> cases = {
        {d + "/a.zip/src/m.c", [] { std::string s; for (int i = 0; i < 50; ++i) s += "int main;\n"; return s; }(), false},
        // A document member is its stored bytes, not the text a search matched.
        {d + "/a.zip/memo.docx", d + "/memo.docx", true},
        {d + "/a.zip/inner.tar.gz/deep.txt", "deep text\n", false},
        {d + "/notes.txt.gz/notes.txt", "gzipped notes\n", false},
    };
    const fs::path target = dir.mkdir("copies");
    MemberCopies members(copiesBase.str());
    for (const Case& c : cases) {
        ScriptedPrompter p;
        const CopyOutcome out = CopySelectedFiles(rowsOf({c.member}), target.string(), p, nullptr, &members);
        EXPECT_EQ(out.copied, 1u) << c.member;
        EXPECT_TRUE(out.failures.empty()) << c.member << (out.failures.empty() ? "" : out.failures[0]);
        const std::string copy = (target / fs::path(c.member).filename()).string();
        EXPECT_EQ(readFile(copy), c.fromFile ? readFile(c.bytesFrom) : c.bytesFrom) << c.member;
        // A copy the user may go on to edit, not the read-only one another program is shown.
        EXPECT_TRUE(modeOf(copy) & S_IWUSR) << c.member;
    }
    // The copies on their way out did not stay behind in the private folder.
    ASSERT_FALSE(members.folder().empty());
    EXPECT_TRUE(fs::is_empty(members.folder()));

    // A member of a damaged archive, or one no longer there, is reported and nothing is written.
    fs::remove(target / "deep.txt");
    ScriptedPrompter p;
    const CopyOutcome out = CopySelectedFiles(rowsOf({d + "/cut.zip/inner.tar.gz/deep.txt", d + "/a.zip/gone.txt"}),
                                              target.string(), p, nullptr, &members);
    EXPECT_EQ(out.copied, 0u);
    ASSERT_EQ(out.failures.size(), 2u);
    EXPECT_EQ(out.failures[1], "Cannot copy " + d + "/a.zip/gone.txt to " + target.string() +
                                   "/gone.txt: the archive " + d + "/a.zip no longer holds it");
    EXPECT_FALSE(fs::exists(target / "deep.txt"));
}

TEST_F(ArchiveMembersTest, OpenedCopiesAreReadOnlyInAPrivateFolderThatGoesWithTheProgram) {
    std::string folder, first, second;
    {
        MemberCopies members(copiesBase.str());
        first = members.write(d + "/a.zip", d + "/a.zip/src/m.c", MemberCopies::Use::Open, noStop).path;
        // The same name from another archive does not meet the first.
        second = members.write(d + "/a.zip", d + "/a.zip/inner.tar.gz/deep.txt", MemberCopies::Use::Open, noStop).path;
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        folder = members.folder();
        EXPECT_EQ(fs::path(first).filename(), "m.c");
        EXPECT_EQ(fs::path(folder).parent_path(), copiesBase.path());
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(modeOf(first), 0400u);
        EXPECT_NE(fs::path(first).parent_path(), fs::path(second).parent_path());
        EXPECT_EQ(readFile(second), "deep text\n");
        // A member the reader could not take whole is not handed over as if it were.
        const MemberCopies::Written cut =
            members.write(d + "/cut.zip", d + "/cut.zip/inner.tar.gz/deep.txt", MemberCopies::Use::Open, noStop);
        EXPECT_TRUE(cut.path.empty());
        EXPECT_FALSE(cut.error.empty());
        // Nor is one whose read Stop ended.
        const std::atomic<bool> stopped = true;
        const MemberCopies::Written none =
            members.write(d + "/a.zip", d + "/a.zip/src/m.c", MemberCopies::Use::Open, stopped);
        EXPECT_TRUE(none.path.empty());
        EXPECT_EQ(none.error, kMemberStoppedText);
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ArchiveMembersTest, LeftoversOfCrashedRunsAreRemovedAndNothingElse) {
    // A process id that surely no longer runs: a child that has been reaped.
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::string(kMemberCopiesPrefix) + std::to_string(child) + "-abc123";
    const std::string alive = std::string(kMemberCopiesPrefix) + std::to_string(::getppid()) + "-abc123";
    const fs::path base = copiesBase.path();
    for (const std::string& name : {dead, alive, std::string("vantixsr-other-1-x")}) {
        fs::create_directories(base / name / "1");
        std::ofstream(base / name / "1" / "f.txt") << "x";
    }
    // A link that looks like ours leads to someone else's folder: the link may go, never what it leads to.
    const fs::path elsewhere = dir.mkdir("elsewhere");
    std::ofstream(elsewhere / "keep.txt") << "keep";
    const std::string linked = std::string(kMemberCopiesPrefix) + std::to_string(child) + "-link00";
    fs::create_directory_symlink(elsewhere, base / linked);
    // A plain file by our name is not a folder of ours either.
    std::ofstream(base / (std::string(kMemberCopiesPrefix) + std::to_string(child) + "-file00")) << "x";

    EXPECT_EQ(MemberCopies::removeLeftovers(base.string()), 1);
    EXPECT_FALSE(fs::exists(base / dead));
    EXPECT_TRUE(fs::exists(base / alive / "1" / "f.txt"));
    EXPECT_TRUE(fs::exists(base / "vantixsr-other-1-x"));
    EXPECT_EQ(readFile(elsewhere / "keep.txt"), "keep");
}

TEST_F(ArchiveMembersTest, DeleteAndRenameRefuseEverySelectionWithAMemberBeforeTouchingAnything) {
    const std::string member = d + "/a.zip/src/m.c";
    const std::string plain = dir.write("plain.txt", "plain").string();
    struct Case {
        std::vector<std::string> rows;
        std::string tail;  // of the message; empty when nothing is refused
    };
    const std::vector<Case> cases = {
        {{member}, ""},
        {{plain, member}, ""},
        {{member, plain, d + "/notes.txt.gz/notes.txt"}, " 1 other selected file is in archives too."},
        {{plain}, "-"},
    };
    for (const std::string verb : {"delete", "rename"}) {
        for (const Case& c : cases) {
            results::ResultList list = rowsOf(c.rows);
            ScriptedPrompter p;
            platform::FakeTrash trash;
            platform::FakeAttributeChanger attributes;
            const platform::FakeTypeNames types;
            RenameCommands commands;
            commands.prefix = "x_";
            bool confirmed = false;
            if (verb == "delete") confirmed = DeleteSelectedFiles(list, p, trash, attributes).confirmed;
            else confirmed = !RenameSelectedFiles(list, commands, p, attributes, types).renamedRows.empty();
            const std::string done = verb == "delete" ? "deleted" : "renamed";
            if (c.tail == "-") {
                EXPECT_TRUE(confirmed) << verb;
                EXPECT_TRUE(p.messages.empty()) << verb;
                dir.write("plain.txt", "plain");
                fs::remove(d + "/x_plain.txt");
                continue;
            }
            const std::string caption = verb == "delete" ? kDeleteErrorCaption : kRenameErrorCaption;
            ASSERT_EQ(p.messages.size(), 1u) << verb << c.rows.size();
            EXPECT_EQ(p.messages[0], caption + ": Cannot " + verb + " " + member + ": it is a member of the archive " +
                                         d + "/a.zip, which is only read, never changed." + c.tail + " No file was " +
                                         done + ".");
            // Not even the plain file beside it was asked about, trashed or renamed.
            EXPECT_TRUE(p.questions.empty());
            EXPECT_FALSE(confirmed);
            EXPECT_TRUE(trash.sent.empty());
            EXPECT_TRUE(fs::exists(plain));
            EXPECT_EQ(list.selectedCount(), c.rows.size());
        }
    }
}

}  // namespace
}  // namespace vsr::fileops
