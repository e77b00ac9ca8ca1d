#include "support/tool_run.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/temp_dir.h"

namespace vsr::test {

namespace {
std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
}  // namespace

ToolRun runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdinFile) {
    TempDir scratch;
    const std::string errFile = scratch.str() + "/stderr.txt";
    std::string cmd = shellQuote(program);
    for (const std::string& a : args) cmd += " " + shellQuote(a);
    cmd += " <" + shellQuote(stdinFile) + " 2>" + shellQuote(errFile);
    ToolRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = readFile(errFile);
    return r;
}

}  // namespace vsr::test
