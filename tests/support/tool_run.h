#pragma once
#include <string>
#include <vector>

namespace vsr::test {

// What a program run as a separate process left behind.
struct ToolRun {
    int status = -1;  // exit status; -1 when it didn't exit normally or couldn't start
    std::string out;
    std::string err;
};

// Runs `program` with `args` (each passed as one argument, whatever it holds) and standard input
// read from `stdinFile`, /dev/null by default, as CI runs the tools.
ToolRun runProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& stdinFile = "/dev/null");

}  // namespace vsr::test
