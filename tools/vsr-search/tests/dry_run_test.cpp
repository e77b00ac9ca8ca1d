#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

namespace fs = std::filesystem;

// Every regular file of a tree by its name relative to the tree, with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = vsr::test::readFile(e.path());
    return files;
}

struct RandomTree {
    explicit RandomTree(unsigned seed) : rng(seed) {}
    std::mt19937 rng;
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string line() {
        static const char* words[] = {"ab", "b", "cab", "Ab", "x", "ab ab", "a b", "\t"};
        std::string s;
        for (int n = pick(4); n > 0; --n) s += std::string(words[pick(8)]) + " ";
        return s;
    }
    std::string file() {
        static const char* ends[] = {"\n", "\r\n", "\r"};
        const int mixed = pick(4);
        std::string s;
        for (int n = pick(40); n > 0; --n) s += line() + ends[mixed == 3 ? pick(3) : mixed];
        if (chance(30) && !s.empty()) s.pop_back();
        return s;
    }
    void fill(const vsr::test::TempDir& dir) {
        static const char* names[] = {"a.txt", "sub/b.txt", "sub/deep/c.txt", "with space.txt", "d.txt", "e.txt",
                                      "sub/f.txt", "g"};
        for (const char* name : names) dir.write(name, file());
        // A file that holds a NUL byte after a match.
        if (chance(70)) dir.write("sub/bin.dat", "ab\n" + std::string(1, '\0') + "ab\n");
    }
    // The options of a random modification, query files written to `scratch`.
    std::vector<std::string> options(const vsr::test::TempDir& scratch) {
        static const char* types[] = {"replace", "clear", "before", "after", "delete"};
        std::vector<std::string> args;
        std::string type = types[pick(5)];
        switch (pick(3)) {
            case 0: args = {"--type", "phrase", "--query", chance(50) ? "ab" : "b "}; break;
            case 1: {
                static const char* expressions[] = {"a(b)", "^ab", "b\\s+a", "c?ab$", "\\w+"};
                args = {"--type", "regex", "--query", expressions[pick(5)]};
                if (chance(50)) args.push_back("--each-line");
                if (type == "clear") type = "delete";
                break;
            }
            default: {
                const std::string q = scratch.write("q.txt", chance(50) ? "ab\nb\n" : "x\n").string();
                const std::string r = scratch.write("r.txt", chance(50) ? "new\n" : "one\ntwo\nthree\n").string();
                args = {"--type", "multiline", "--query-file", q, "--replace-file", r};
            }
        }
        args.insert(args.end(), {"--modify", type});
        if (args[1] != "multiline") args.insert(args.end(), {"--replace", chance(50) ? "[$1]" : "Z\\Z"});
        if (chance(50)) args.push_back("--case");
        static const char* separators[] = {"windows", "unix", "mac"};
        args.insert(args.end(), {"--separator", separators[pick(3)]});
        if (chance(30)) args.insert(args.end(), {"--interval", std::to_string(pick(5)) + ":" + std::to_string(pick(30))});
        return args;
    }
};

std::vector<std::string> with(std::vector<std::string> args, const std::string& root, bool dry) {
    args.insert(args.begin(), {"--path", root});
    if (dry) args.push_back("--dry-run");
    return args;
}

// What the dry run prints, applied by patch to an untouched copy, is byte for byte what the real
// modification writes; the dry run itself changes nothing.
TEST(VsrSearchDryRun, PatchGivesTheRealModification) {
    int patched = 0, binary = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomTree random(seed);
        vsr::test::TempDir original, real, scratch;
        random.fill(original);
        const std::vector<std::string> args = random.options(scratch);
        fs::copy(original.path(), real.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        const auto before = snapshot(original.path());

        const vsr::test::ToolRun dry = vsr::test::runProgram(VSR_SEARCH_EXE, with(args, original.str(), true));
        ASSERT_NE(dry.status, 2) << dry.err;
        EXPECT_EQ(snapshot(original.path()), before) << "the dry run changed the disk";
        const vsr::test::ToolRun modify = vsr::test::runProgram(VSR_SEARCH_EXE, with(args, real.str(), false));
        EXPECT_EQ(dry.status, modify.status);
        const auto after = snapshot(real.path());

        // patch takes a diff that names only binary files for garbage: then it has nothing to apply.
        if (dry.out.find("\n@@ -") != std::string::npos) {
            const std::string patchFile = scratch.write("changes.diff", dry.out).string();
            const vsr::test::ToolRun patch = vsr::test::runProgram(
                "patch", {"-p1", "-s", "--no-backup-if-mismatch", "-d", original.str(), "-i", patchFile});
            ASSERT_EQ(patch.status, 0) << patch.out << patch.err << dry.out;
        }
        auto patchedTree = snapshot(original.path());
        // patch does not apply binary changes: the dry run names them, the real run made them.
        for (auto& [name, bytes] : patchedTree) {
            if (bytes.find('\0') == std::string::npos) continue;
            if (after.at(name) != bytes) {
                ++binary;
                EXPECT_NE(dry.out.find("Binary files a/" + name + " and b/" + name + " differ\n"), std::string::npos);
                bytes = after.at(name);
            }
        }
        EXPECT_EQ(patchedTree, after) << dry.out;
        if (after != before) ++patched;
    }
    EXPECT_GT(patched, 25);
    EXPECT_GT(binary, 3);  // the search lists them only when the text before the NUL matches
}

TEST(VsrSearchDryRun, HunksContextAndLineEnds) {
    vsr::test::TempDir tree;
    std::string text;
    for (int i = 1; i <= 20; ++i) text += "line " + std::to_string(i) + (i == 3 || i == 12 ? " old" : "") + "\r\n";
    tree.write("many.txt", text);
    tree.write("last.txt", "keep\nold");
    const vsr::test::ToolRun run = vsr::test::runProgram(
        VSR_SEARCH_EXE, {"--path", tree.str(), "--query", "old", "--modify", "delete", "--separator", "windows", "--dry-run"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string many =
        "--- a/many.txt\n+++ b/many.txt\n"
        "@@ -1,6 +1,6 @@\n line 1\r\n line 2\r\n-line 3 old\r\n+line 3 \r\n line 4\r\n line 5\r\n line 6\r\n"
        "@@ -9,7 +9,7 @@\n line 9\r\n line 10\r\n line 11\r\n-line 12 old\r\n+line 12 \r\n line 13\r\n line 14\r\n"
        " line 15\r\n";
    // The first line's end becomes CR LF; the emptied last line had no line end and gets none.
    const std::string last =
        "--- a/last.txt\n+++ b/last.txt\n"
        "@@ -1,2 +1 @@\n-keep\n-old\n\\ No newline at end of file\n+keep\r\n";
    EXPECT_NE(run.out.find(many), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(last), std::string::npos) << run.out;
    EXPECT_EQ(vsr::test::readFile(tree.path() / "last.txt"), "keep\nold");
}

TEST(VsrSearchDryRun, RefusedWithUndoOrWithoutModify) {
    vsr::test::TempDir tree;
    tree.write("a.txt", "ab\n");
    EXPECT_EQ(vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", tree.str(), "--query", "ab", "--dry-run"}).status, 2);
    EXPECT_EQ(vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", tree.str(), "--query", "ab", "--modify", "delete",
                                                     "--dry-run", "--undo-after"})
                  .status,
              2);
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "ab\n");
}

// An output that refuses the diff (a full disk) makes the dry run fail, with the reason, rather
// than end as if the diff were whole.
TEST(VsrSearchDryRun, ADiffTheOutputRefusesIsAFailure) {
    vsr::test::TempDir tree;
    tree.write("a.txt", "ab\n");
    const std::string command = std::string("exec '") + VSR_SEARCH_EXE + "' --path '" + tree.str() +
                                "' --query ab --modify delete --dry-run >/dev/full";
    const vsr::test::ToolRun full = vsr::test::runProgram("/bin/sh", {"-c", command});
    EXPECT_EQ(full.status, 3);
    EXPECT_NE(full.err.find("vsr-search: cannot write the diff: "), std::string::npos) << full.err;
    // The same run to an output that takes it succeeds.
    const vsr::test::ToolRun fine = vsr::test::runProgram(
        VSR_SEARCH_EXE, {"--path", tree.str(), "--query", "ab", "--modify", "delete", "--dry-run"});
    EXPECT_EQ(fine.status, 0) << fine.err;
    EXPECT_EQ(fine.out, "--- a/a.txt\n+++ b/a.txt\n@@ -1 +1 @@\n-ab\n+\n");
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "ab\n");
}

}  // namespace
}  // namespace vsr::tools
