// vsr-regex: runs the program's regular-expression engine over standard input, for tests,
// benchmarks and checks from outside.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

#include "regexpr/vx_regex.h"

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: vsr-regex [-i] [-m] [-x] [--no-s] [--no-g] [--no-r] [--utf8] [--offset N] [--groups] "
                 "[--template T] PATTERN < input\n"
                 "--utf8 reads the pattern and the input as UTF-8 text (characters, every script's letters)\n");
}

}  // namespace

int main(int argc, char** argv) {
    using vsr::regexpr::TVxRegex;
    TVxRegex re;
    long long offset = 1;
    bool groups = false;
    bool haveTemplate = false;
    std::string tmpl;
    std::string pattern;
    bool havePattern = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-i") re.SetModifier(1, true);
        else if (a == "-m") re.SetModifier(5, true);
        else if (a == "-x") re.SetModifier(6, true);
        else if (a == "--no-s") re.SetModifier(3, false);
        else if (a == "--no-g") re.SetModifier(4, false);
        else if (a == "--no-r") re.SetModifier(2, false);
        else if (a == "--utf8") re.SetUtf8(true);
        else if (a == "--groups") groups = true;
        else if ((a == "--offset" || a == "--template") && i + 1 < argc) {
            if (a == "--offset") {
                char* end = nullptr;
                offset = std::strtoll(argv[++i], &end, 10);
                if (!end || *end) {
                    usage();
                    return 2;
                }
            } else {
                haveTemplate = true;
                tmpl = argv[++i];
            }
        } else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else if (!havePattern && (a.empty() || a[0] != '-' || a == "-")) {
            pattern = a;
            havePattern = true;
        } else if (a == "--" && i + 1 < argc && !havePattern) {
            pattern = argv[++i];
            havePattern = true;
        } else {
            usage();
            return 2;
        }
    }
    if (!havePattern) {
        usage();
        return 2;
    }
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    std::string out;
    bool any = false;
    try {
        re.SetExpression(pattern);
        re.Compile();
        re.SetInputString(input);
        bool found = re.ExecPos(offset);
        while (found) {
            any = true;
            out += std::to_string(re.MatchStart(0)) + "\t" + std::to_string(re.MatchLength(0));
            if (groups)
                for (int k = 1; k <= 14; ++k)
                    out += "\t" + std::to_string(re.MatchStart(k)) + "," + std::to_string(re.MatchLength(k));
            if (haveTemplate) out += "\t" + re.ExpandTemplate(tmpl);
            out += "\n";
            found = re.ExecNext();
        }
    } catch (const vsr::regexpr::EVxRegex& e) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fprintf(stderr, "error %d %d: %s\n", e.code(), e.position(), e.what());
        return 2;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return any ? 0 : 1;
}
