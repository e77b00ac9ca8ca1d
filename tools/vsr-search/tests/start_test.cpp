// How the tool starts: its version, and a start with the standard descriptors closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

TEST(VsrSearchStart, VersionNamesTheToolAndTheProgram) {
    const vsr::test::ToolRun r = vsr::test::runProgram(VSR_SEARCH_EXE, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("vsr-search (Vantix Search & Replace) ", 0), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
}

// Started with descriptors 0 to 2 closed (cron, some service managers), the tool sees them as
// /dev/null: the run's own files never take their numbers, and the rows nobody reads are no
// failed output.
TEST(VsrSearchStart, ARunWithTheStandardDescriptorsClosedModifiesAndSucceeds) {
    vsr::test::TempDir tree;
    for (const char* closing : {">&- 2>&-", "<&- >&- 2>&-"}) {
        SCOPED_TRACE(closing);
        for (const char* name : {"a.txt", "b.txt"}) tree.write(name, "alpha one\n");
        const vsr::test::ToolRun r = vsr::test::runProgram(
            "/bin/sh", {"-c", std::string("exec \"$0\" \"$@\" ") + closing, VSR_SEARCH_EXE, "--path", tree.str(),
                        "--tab", "replace", "--query", "alpha", "--modify", "replace", "--replace", "omega",
                        "--backups", "--threads", "1"});
        EXPECT_EQ(r.status, 0);
        for (const char* name : {"a.txt", "b.txt"}) {
            EXPECT_EQ(vsr::test::readFile(tree.path() / name), "omega one\n");
            EXPECT_EQ(vsr::test::readFile(tree.path() / (std::string(name) + ".bak")), "alpha one\n");
        }
    }
}

}  // namespace
}  // namespace vsr::tools
