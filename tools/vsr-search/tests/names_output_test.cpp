// Every row stays one line (or one NUL-ended name) whatever the file's name holds, in the search,
// the modification and the Lines Viewer output.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "name_output.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

TEST(NameOutput, QuotesOnlyNamesThatWouldBreakALine) {
    const std::pair<std::string, std::string> cases[] = {
        {"/r/plain name.txt", "/r/plain name.txt"},
        {"/r/back\\slash", "/r/back\\slash"},
        {"/r/ünï.txt", "/r/ünï.txt"},
        {"/r/new\nline", "\"/r/new\\nline\""},
        {"/r/a\tb\r", "\"/r/a\\tb\\r\""},
        {"/r/\"q\\\n", "\"/r/\\\"q\\\\\\n\""},
        {std::string("/r/\x01" "7\x7f", 6), "\"/r/\\0017\\177\""},
        {"\"starts.txt", "\"\\\"starts.txt\""},
    };
    for (const auto& [name, shown] : cases) EXPECT_EQ(quotedName(name), shown) << shown;
}

// The records of `out`, sorted (rows follow the folder's order): with `nul` each is the name up
// to its NUL byte, "|", and the rest of its line.
std::vector<std::string> records(const std::string& out, bool nul) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < out.size();) {
        std::size_t nameEnd = nul ? out.find('\0', at) : at;
        if (nameEnd == std::string::npos) break;
        const std::size_t end = out.find('\n', nameEnd);
        if (end == std::string::npos) break;
        lines.push_back(nul ? out.substr(at, nameEnd - at) + "|" + out.substr(nameEnd + 1, end - nameEnd - 1)
                            : out.substr(at, end - at));
        at = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(NameOutput, RowsOfOddNamesStayOneLineOrNulEnded) {
    vsr::test::TempDir tree;
    const std::string r = tree.str();
    const std::string q = "\"" + r;  // a quoted name starts with the quote
    struct Case {
        std::vector<std::string> extra;
        bool nul;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {{}, false, {q + "/new\\nline.txt\"\t1", q + "/tab\\tname.txt\"\t1", r + "/plain.txt\t2"}},
        {{"--null"}, true, {r + "/new\nline.txt|1", r + "/plain.txt|2", r + "/tab\tname.txt|1"}},
        {{"--tab", "replace", "--modify", "replace", "--replace", "y"}, false,
         {q + "/new\\nline.txt\"\t0\tModified", q + "/tab\\tname.txt\"\t0\tModified", r + "/plain.txt\t0\tModified"}},
        {{"--tab", "replace", "--modify", "replace", "--replace", "y", "--null"}, true,
         {r + "/new\nline.txt|0\tModified", r + "/plain.txt|0\tModified", r + "/tab\tname.txt|0\tModified"}},
    };
    for (const Case& c : cases) {
        tree.write("new\nline.txt", "x\n");
        tree.write("tab\tname.txt", "x\n");
        tree.write("plain.txt", "x x\n");
        std::vector<std::string> args{"--path", r, "--query", "x"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(records(run.out, c.nul), c.records) << testing::PrintToString(c.extra);
    }
    // The Lines Viewer's part names its file the same way.
    tree.write("new\nline.txt", "x\n");
    const vsr::test::ToolRun lines =
        vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", r, "--query", "x", "--lines"});
    EXPECT_NE(lines.out.find("\n== " + q + "/new\\nline.txt\"\n0\t"), std::string::npos) << lines.out;
}

}  // namespace
}  // namespace vsr::tools
