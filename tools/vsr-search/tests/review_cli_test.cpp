#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "durable/file_store.h"
#include "engine/modify/edit_review.h"
#include "engine/search/recording_host.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "search_options.h"
#include "support/kept_edits_model.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = vsr::test::readFile(e.path());
    return files;
}

// The files in the order the review asked about them: the names of its hunks.
std::vector<std::string> askedFiles(const std::string& err) {
    std::vector<std::string> names;
    for (std::size_t at = err.find("--- a/"); at != std::string::npos; at = err.find("--- a/", at + 1)) {
        const std::size_t end = err.find('\n', at);
        std::string name = err.substr(at + 6, end - at - 6);
        if (names.empty() || names.back() != name) names.push_back(name);
    }
    return names;
}

// The edits of `name` as the engine lists them for the conditions of `args`.
std::vector<engine::ReviewEdit> editsOf(const std::vector<std::string>& args, const fs::path& root,
                                        const std::string& name) {
    SearchOptions options = parseSearchOptions(args, root.string());
    EXPECT_EQ(options.error, "");
    engine::RecordingHost host;
    durable::PosixFileStore files;
    platform::PosixAttributeChanger attributes;
    platform::SteadyClock clock;
    results::ResultItem item;
    item.path = (root / name).parent_path().string();
    item.name = (root / name).filename().string();
    return engine::reviewRow({files, attributes, clock}, host, host, item, options.conditions, options.modify.options).edits;
}

// Scripted answers, read as the tool reads them: one per edit, an unknown one asks again, the
// end of the input is q. What they keep of each file is applied to it by the model.
struct Script {
    std::vector<std::string> answers;
    std::size_t next = 0;
    bool quit = false;
    char take() {
        for (;;) {
            if (next >= answers.size()) return 'q';
            const std::string& a = answers[next++];
            if (a == "y" || a == "n" || a == "a" || a == "d" || a == "q" || a == " N") return a == " N" ? 'n' : a[0];
        }
    }
    engine::SkippedEdits choose(std::size_t count) {
        engine::SkippedEdits skipped;
        if (quit) {
            skipped.skipRange(0, count);
            return skipped;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const char a = take();
            if (a == 'n') skipped.skip(i);
            if (a == 'a') break;
            if (a == 'd' || a == 'q') {
                skipped.skipRange(i, count);
                quit = a == 'q';
                break;
            }
        }
        return skipped;
    }
};

// `--review` driven by scripted answers on standard input writes exactly the kept replacements
// (each as the engine's review lists it, applied by hand), and `--review --dry-run` with the same
// answers prints a diff that patch turns into the same bytes.
TEST(VsrSearchReview, ScriptedAnswersWriteExactlyTheKeptReplacements) {
    std::mt19937 rng(33);
    int withSkips = 0, quits = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        vsr::test::TempDir tree, copy, scratch;
        static const char* pieces[] = {"ab", "b", " ", "cab", "\n", "\n", "ab ab"};
        for (const char* name : {"a.txt", "sub/b.txt", "c.txt"}) {
            std::string text;
            for (int n = 5 + static_cast<int>(rng() % 30); n > 0; --n) text += pieces[rng() % 7];
            tree.write(name, text);
        }
        fs::copy(tree.path(), copy.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        static const std::vector<std::vector<std::string>> queries = {
            {"--type", "phrase", "--query", "ab", "--modify", "replace", "--replace", "X"},
            {"--type", "phrase", "--query", "b", "--modify", "before", "--replace", "<"},
            {"--type", "regex", "--query", "c?a(b)", "--modify", "replace", "--replace", "[$1]"},
            {"--type", "regex", "--query", "b\\r\\n", "--modify", "delete"},
        };
        std::vector<std::string> args = {"--path", tree.str()};
        const auto& query = queries[rng() % queries.size()];
        args.insert(args.end(), query.begin(), query.end());
        Script script;
        static const char* answers[] = {"y", "n", "a", "d", "y", "n", "huh", " N"};
        for (int n = static_cast<int>(rng() % 14); n > 0; --n) script.answers.push_back(answers[rng() % 8]);
        if (rng() % 3 == 0) script.answers.push_back("q");
        std::string input;
        for (const std::string& a : script.answers) input += a + "\n";
        const std::string answerFile = scratch.write("answers", input).string();

        const auto before = treeOf(tree.path());
        std::vector<std::string> dryArgs = args;
        dryArgs.insert(dryArgs.end(), {"--review", "--dry-run"});
        const vsr::test::ToolRun dry = vsr::test::runProgram(VSR_SEARCH_EXE, dryArgs, answerFile);
        ASSERT_EQ(treeOf(tree.path()), before) << "a dry run writes nothing";
        std::vector<std::string> realArgs = args;
        realArgs.push_back("--review");
        const vsr::test::ToolRun real = vsr::test::runProgram(VSR_SEARCH_EXE, realArgs, answerFile);
        ASSERT_EQ(real.status, 0) << real.err;
        EXPECT_EQ(askedFiles(real.err), askedFiles(dry.err));

        // The model, file by file in the order asked.
        std::map<std::string, std::string> expected = before;
        for (const std::string& name : askedFiles(real.err)) {
            const std::vector<engine::ReviewEdit> edits = editsOf(args, copy.path(), name);
            const engine::SkippedEdits skipped = script.choose(edits.size());
            withSkips += !skipped.empty();
            expected[name] = vsr::test::applyKept(before.at(name), edits, skipped);
            // A file with every replacement off is left alone and its row says so.
            const std::size_t row = real.out.find((tree.path() / name).string() + "\t");
            ASSERT_NE(row, std::string::npos) << real.out;
            const std::string result = real.out.substr(row, real.out.find('\n', row) - row);
            EXPECT_EQ(result.ends_with("\tLeft Unchanged"), !edits.empty() && skipped.count() == edits.size()) << result;
        }
        quits += script.quit;
        EXPECT_EQ(treeOf(tree.path()), expected) << real.err;

        // The kept replacements as a patch give the same bytes.
        if (dry.out.find("\n@@ -") != std::string::npos) {
            const std::string patchFile = scratch.write("kept.diff", dry.out).string();
            const vsr::test::ToolRun patch = vsr::test::runProgram(
                "patch", {"-p1", "-s", "--no-backup-if-mismatch", "-d", copy.str(), "-i", patchFile});
            ASSERT_EQ(patch.status, 0) << patch.out << patch.err << dry.out;
        }
        EXPECT_EQ(treeOf(copy.path()), expected) << dry.out;
    }
    EXPECT_GT(withSkips, 8);
    EXPECT_GT(quits, 3);
}

// What one question shows: the file, the line, the old and new line with the change marked; an
// unknown answer asks again, a file with every replacement turned off is left alone and says so.
TEST(VsrSearchReview, HunkAnswersAndLeftUnchanged) {
    vsr::test::TempDir tree;
    tree.write("a.txt", "one cat\ntwo cats\n");
    vsr::test::TempDir scratch;
    const std::string answers = scratch.write("answers", "maybe\nn\nn\n").string();
    const vsr::test::ToolRun run = vsr::test::runProgram(
        VSR_SEARCH_EXE, {"--path", tree.str(), "--query", "cat", "--modify", "replace", "--replace", "dog", "--review", "--backups"},
        answers);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("--- a/a.txt\n+++ b/a.txt\n@@ -1,1 +1,1 @@ replacement 1 of 2\n-one cat\n?    ^^^\n+one dog\n?    ^^^\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("y - keep this replacement\n"), std::string::npos) << "an unknown answer is explained";
    EXPECT_NE(run.err.find("@@ -2,1 +2,1 @@ replacement 2 of 2\n-two cats\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, tree.str() + "/a.txt\t2\tLeft Unchanged\n");
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "one cat\ntwo cats\n");
    EXPECT_FALSE(fs::exists(tree.path() / "a.txt.bak"));
}

}  // namespace
}  // namespace vsr::tools
