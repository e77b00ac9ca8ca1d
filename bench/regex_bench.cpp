// Times the program's regular-expression engine against std::regex (ECMAScript) and PCRE2
// (interpreted and JIT) on the same text, line by line, counting the matches of each line.
// Usage: vsr-regex-bench FILE [RUNS]; prints one table row per pattern with medians and ratios,
// of wall time and of the CPU time the process spent (steadier on a loaded machine).
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "regexpr/vx_regex.h"

namespace {

struct Pattern {
    const char* text;
    bool ignoreCase;
};

const Pattern kPatterns[] = {
    {"spin_lock_irqsave", false},
    {"[a-z]+_lock\\(", false},
    {"^static\\s+int\\s+\\w+\\(", false},
    {"(\\w+)\\s*=\\s*(\\w+);", false},
    {"SPIN_LOCK", true},
};

using Lines = std::vector<std::string_view>;

Lines splitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text.data() + start, stop - start);
        start = end + 1;
    }
    return lines;
}

long long countOurs(const Pattern& p, const Lines& lines) {
    vsr::regexpr::TVxRegex re;
    re.SetModifier(1, p.ignoreCase);
    re.SetExpression(p.text);
    re.Compile();
    long long n = 0;
    for (std::string_view line : lines)
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            if (re.MatchLength(0) > 0) ++n;
    return n;
}

long long countStd(const Pattern& p, const Lines& lines) {
    auto flags = std::regex::ECMAScript;
    if (p.ignoreCase) flags |= std::regex::icase;
    std::regex re(p.text, flags);
    long long n = 0;
    for (std::string_view line : lines) {
        std::cregex_iterator it(line.data(), line.data() + line.size(), re), end;
        for (; it != end; ++it)
            if (it->length(0) > 0) ++n;
    }
    return n;
}

long long countPcre(const Pattern& p, const Lines& lines, bool jit) {
    int err = 0;
    PCRE2_SIZE off = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.text), PCRE2_ZERO_TERMINATED,
                                     p.ignoreCase ? PCRE2_CASELESS : 0, &err, &off, nullptr);
    if (!code) return -1;
    if (jit) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* md = pcre2_match_data_create_from_pattern(code, nullptr);
    long long n = 0;
    const uint32_t options = jit ? 0 : PCRE2_NO_JIT;
    for (std::string_view line : lines) {
        PCRE2_SIZE start = 0;
        auto subject = reinterpret_cast<PCRE2_SPTR>(line.data());
        while (start <= line.size()) {
            int rc = pcre2_match(code, subject, line.size(), start, options, md, nullptr);
            if (rc < 0) break;
            PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
            if (ov[1] > ov[0]) ++n;
            start = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
        }
    }
    pcre2_match_data_free(md);
    pcre2_code_free(code);
    return n;
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Timing {
    double wall = 0, cpu = 0;  // medians
};

Timing timeMedian(int runs, const std::function<long long()>& work, long long& count) {
    std::vector<double> wall, cpu;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds();
        count = work();
        cpu.push_back(cpuSeconds() - c0);
        wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vsr-regex-bench FILE [RUNS] [STD_RUNS]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    int stdRuns = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    Lines lines = splitLines(text);
    std::printf("%.1f MB, %zu lines; medians of %d runs (std::regex: %d)\n\n", text.size() / 1e6, lines.size(), runs,
                stdRuns);
    std::printf("| pattern | matches | TVxRegex s | std::regex s | PCRE2 s | PCRE2-JIT s | vs std | vs PCRE2 | vs JIT |"
                " TVxRegex cpu s | PCRE2-JIT cpu s | vs JIT cpu |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    int rc = 0;
    for (const Pattern& p : kPatterns) {
        long long nOurs = 0, nStd = 0, nPcre = 0, nJit = 0;
        const Timing ours = timeMedian(runs, [&] { return countOurs(p, lines); }, nOurs);
        const double tOurs = ours.wall;
        const double tPcre = timeMedian(runs, [&] { return countPcre(p, lines, false); }, nPcre).wall;
        const Timing jit = timeMedian(runs, [&] { return countPcre(p, lines, true); }, nJit);
        const double tJit = jit.wall;
        const double tStd = timeMedian(stdRuns, [&] { return countStd(p, lines); }, nStd).wall;
        std::string name = std::string("`") + p.text + "`" + (p.ignoreCase ? " (i)" : "");
        std::printf("| %s | %lld | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f |\n",
                    name.c_str(), nOurs, tOurs, tStd, tPcre, tJit, tOurs / tStd, tOurs / tPcre, tOurs / tJit,
                    ours.cpu, jit.cpu, ours.cpu / jit.cpu);
        if (nOurs != nStd || nOurs != nPcre || nOurs != nJit) {
            std::printf("  counts differ: std %lld, pcre2 %lld, jit %lld\n", nStd, nPcre, nJit);
            rc = 1;
        }
        std::fflush(stdout);
    }
    return rc;
}
