// vsr-search --archives on a tree packed by Python's tarfile and zipfile: every kind of archive,
// and an archive inside an archive, lists the same rows with the same Found counts and Lines
// Viewer entries as the tree unpacked, for every query type and for masks and ignore lists
// applied to the members; hostile archives end with a status text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/container_fixtures.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

using vsr::test::ToolRun;

// The archives the packed folder holds, each the whole plain tree; the last is nested.
const std::vector<std::string> kPackedRoots = {
    "release.tar.gz", "release.tar.bz2", "release.tar.xz", "release.tar", "release.zip",
    "outer.zip/inner/release.tar.gz",
};

class VsrSearchArchives : public ::testing::Test {
protected:
    void SetUp() override {
        plain = root.str() + "/plain";
        packed = root.str() + "/packed";
        root.write("plain/src/main.c", "alpha beta\ngamma\nint main() { alpha(); }\n");
        root.write("plain/src/sub/notes.txt", "Alpha delta\nalpha beta\ngamma\n");
        root.write("plain/docs/readme.md", "zeta alpha\n");
        // UTF-16 behind its mark: members go through the same decoding as files.
        root.write("plain/wide.txt", std::string("\xFF\xFE" "a\0l\0p\0h\0a\0 \0b\0e\0t\0a\0\n\0", 24));
        root.mkdir("packed");
        ASSERT_TRUE(vsr::test::makeDocumentFixtures(plain + "/docs"));
        std::remove((plain + "/docs/broken.docx").c_str());
        const std::string script =
            "import tarfile, zipfile, os, io\n"
            "os.chdir('" + plain + "')\n"
            "names = sorted(os.path.join(d, f)[2:] for d, _, fs in os.walk('.') for f in fs)\n"
            "for mode, ext in (('w:gz', '.tar.gz'), ('w:bz2', '.tar.bz2'), ('w:xz', '.tar.xz'), ('w', '.tar')):\n"
            "    with tarfile.open('../packed/release' + ext, mode) as t:\n"
            "        for n in names: t.add(n)\n"
            "with zipfile.ZipFile('../packed/release.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
            "    for n in names: z.write(n)\n"
            "with zipfile.ZipFile('../packed/outer.zip', 'w') as z:\n"
            "    z.write('../packed/release.tar.gz', 'inner/release.tar.gz')\n";
        root.write("make.py", script);
        ASSERT_EQ(std::system(("python3 '" + root.str() + "/make.py'").c_str()), 0);
        root.write("ignore-dirs", "*/sub\n");
        root.write("ignore-files", "*.md\n");
        root.write("query-lines", "alpha beta\ngamma\n");
    }

    ToolRun search(const std::string& path, const std::vector<std::string>& extra) {
        std::vector<std::string> args{"--path", path, "--archives", "--lines"};
        args.insert(args.end(), extra.begin(), extra.end());
        return vsr::test::runProgram(VSR_SEARCH_EXE, args);
    }

    // Rows and Lines Viewer blocks by full path, the folder `from` turned into `to` in names
    // and entries: each value is the row's line, then its entries. Rows elsewhere are dropped.
    static std::map<std::string, std::string> rows(const std::string& out, const std::string& from,
                                                   const std::string& to) {
        std::map<std::string, std::string> byPath;
        std::istringstream in(out);
        std::string line, current;
        while (std::getline(in, line)) {
            for (const char* end : {"/", "\t"}) {
                const std::size_t at = line.find(from + end);
                if (at != std::string::npos) line.replace(at, from.size(), to);
            }
            if (line.starts_with("== ")) current = line.substr(3);
            else if (current.empty()) byPath[line.substr(0, line.find('\t'))] += "row " + line + "\n";
            else byPath[current] += line + "\n";
        }
        std::erase_if(byPath, [&](const auto& row) { return !row.first.starts_with(to + "/"); });
        return byPath;
    }

    vsr::test::TempDir root;
    std::string plain, packed;
};

TEST_F(VsrSearchArchives, MembersListAsTheUnpackedFilesForEveryQueryAndFilter) {
    const std::string r = root.str();
    struct Case { const char* what; std::vector<std::string> args; std::size_t atLeast; };
    const std::vector<Case> cases = {
        {"phrase", {"--type", "phrase", "--query", "alpha beta"}, 3},
        {"any word", {"--type", "or", "--query", "Welcome delta"}, 2},
        {"all words", {"--type", "and", "--query", "alpha gamma"}, 2},
        {"search engine", {"--type", "engine", "--query", "+alpha -zeta \"alpha beta\""}, 3},
        {"multiline", {"--type", "multiline", "--query-file", r + "/query-lines"}, 2},
        {"regex", {"--type", "regex", "--query", "al[a-z]+a|Hello|Quarter"}, 6},
        {"masks on member names", {"--query", "a", "--masks", "*.c;*.docx;*.pdf"}, 2},
        {"folder and file ignore lists inside", {"--query", "alpha", "--ignore-dirs", r + "/ignore-dirs",
                                                 "--ignore-files", r + "/ignore-files"}, 2},
        {"size filter on member sizes", {"--query", "a", "--size-max", "1"}, 5},
        {"case and whole words", {"--query", "Alpha", "--case", "--whole"}, 1},
    };
    for (const Case& c : cases) {
        const ToolRun unpacked = search(plain, c.args);
        ASSERT_EQ(unpacked.status, 0) << c.what << unpacked.err;
        const auto expected = rows(unpacked.out, plain, plain);
        EXPECT_GE(expected.size(), c.atLeast) << c.what << "\n" << unpacked.out;
        const ToolRun inside = search(packed, c.args);
        EXPECT_EQ(inside.status, 0) << c.what << inside.err;
        for (const std::string& archive : kPackedRoots) {
            EXPECT_EQ(rows(inside.out, packed + "/" + archive, plain), expected) << c.what << " in " << archive;
        }
    }
}

TEST_F(VsrSearchArchives, BombsAndDamageEndWithAStatusTextAndTheRestIsSearched) {
    const std::string r = root.str();
    root.mkdir("hostile");
    const std::string script =
        "import zipfile, shutil\n"
        "with zipfile.ZipFile('" + r + "/hostile/bomb.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    z.writestr('zeros.txt', b'alpha' + b'\\0' * (40 << 20))\n"
        "    z.writestr('after.txt', b'alpha\\n')\n"
        "b = open('" + packed + "/release.tar.gz', 'rb').read()\n"
        "open('" + r + "/hostile/cut.tar.gz', 'wb').write(b[:len(b) * 2 // 3])\n"
        "import gzip\n"
        "open('" + r + "/hostile/fake.gz', 'wb').write(gzip.compress(b'alpha' * 99)[:20] + b'\\xff' * 60)\n";
    root.write("hostile.py", script);
    ASSERT_EQ(std::system(("python3 '" + r + "/hostile.py'").c_str()), 0);
    const ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", r + "/hostile", "--archives", "--query", "alpha"});
    // Files left unsearched, in part or whole, make the status 3; each is named with its reason.
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find(r + "/hostile/bomb.zip/zeros.txt: not searched: Archive cut off: it expands to more than 100 times"),
              std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cut.tar.gz"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("fake.gz: not searched: Archive could not be opened"), std::string::npos) << run.err;
    // What came before the cut is still searched.
    EXPECT_NE(run.out.find(r + "/hostile/bomb.zip/zeros.txt\t1\n"), std::string::npos) << run.out;
}

TEST_F(VsrSearchArchives, TheOptionOffAndTheReplaceTabLeaveArchivesClosed) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--path", packed, "--query", "alpha"},
             {"--path", packed, "--query", "alpha", "--archives", "--tab", "replace"}}) {
        const ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, args);
        EXPECT_EQ(run.out.find(".tar.gz/"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find(".zip/"), std::string::npos) << run.out;
    }
}

}  // namespace
