#pragma once
// Random expressions and subjects for the differential tests of the regular-expression engine,
// and the record of every match they are compared by.
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"

namespace vsr::test {

using regexpr::EVxRegex;
using regexpr::TVxRegex;

// Expressions built to meet the shortcuts: groups around repeats at the start, literals on the
// top level that become required, classes of characters that run into each other, lazy and
// bounded repeats, anchors, back-references and inline case folding.
class ExpressionGenerator {
public:
    // Without back-references when `backRefs` is off.
    ExpressionGenerator(unsigned seed, bool utf8, bool backRefs = true) : rng_(seed), utf8_(utf8), backRefs_(backRefs) {}

    std::string expression() {
        groups_ = 0;
        closed_.clear();
        // Often a repeat opens the match, as in the assignment shape "(\w+)\s*=".
        std::string lead;
        if (pick(0, 9) < 3) {
            static const char* const kLeads[] = {"\\w+", "\\w*", "[a-c_]+", "\\s{2,}", "a+", "\\W+", ".+", "[^=;]*"};
            lead = kLeads[pick(0, std::size(kLeads) - 1)];
            if (pick(0, 1)) lead = "(" + lead + ")", closed_.push_back(++groups_);
        }
        return lead + alternation(0);
    }

    std::string subject() {
        static const char* const kBytes[] = {"a", "b", "ab", "A", "B", "1", "_", " ", " ", "=", ";", "=",
                                             "x", "\n", "\r\n", "\t", "(", "\xE9", "\xC9", "\xDF"};
        static const char* const kUtf8[] = {"a", "b", "ab", "A", "1", "_", " ", "=", ";", "x", "\n", "\r\n",
                                            "\xC3\xA9", "\xC3\x89", "\xC3\x9F", "\xCE\xA3", "\xCF\x83", "\xE2\x82\xAC",
                                            "\xF0\x9F\x98\x80", "\x80", "\xC3",
                                            // Letters whose case forms differ in length or script: the Kelvin
                                            // sign, long s, the Ohm sign, small omega and final sigma.
                                            "k", "s", "K", "\xE2\x84\xAA", "\xC5\xBF", "\xE2\x84\xA6", "\xCF\x89",
                                            "\xCF\x82"};
        std::string s;
        const int n = pick(0, 24);
        for (int k = 0; k < n; ++k) s += utf8_ ? kUtf8[pick(0, std::size(kUtf8) - 1)] : kBytes[pick(0, std::size(kBytes) - 1)];
        return s;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::string alternation(int depth) {
        std::string s = branch(depth);
        while (pick(0, 9) < (depth ? 4 : 2)) s += "|" + branch(depth);
        return s;
    }
    std::string branch(int depth) {
        std::string s;
        const int n = pick(1, 5);
        for (int k = 0; k < n; ++k) s += piece(depth);
        return s;
    }
    std::string piece(int depth) {
        std::string s = atom(depth);
        if (s == "^" || s == "$" || s == "\\A" || s == "\\Z" || s == "(?i)" || s == "(?-i)") return s;
        if (pick(0, 9) < 5) {
            static const char* const kQuant[] = {"*", "+", "+", "?", "{2}", "{2,}", "{1,}", "{0,2}", "{1,3}"};
            s += kQuant[pick(0, std::size(kQuant) - 1)];
            if (pick(0, 9) < 3) s += "?";
        }
        return s;
    }
    std::string atom(int depth) {
        switch (pick(0, 24)) {
        case 0: case 1: case 2: return std::string(1, "abx"[pick(0, 2)]);
        case 3: return "=";
        case 4: return ";";
        case 5: return "ab";
        case 6: return "\\w";
        case 7: return "\\s";
        case 8: return "\\d";
        case 9: return "\\W";
        case 10: return "[a-c_]";
        case 11: return "[^=;]";
        case 12: return ".";
        case 13: {
            static const char* const kFolds[] = {"\xC3\xA9", "\xCF\x89", "[k\xCF\x89]", "[s\xC3\xA4]", "[k]", "\xE2\x84\xA6"};
            return utf8_ ? kFolds[pick(0, std::size(kFolds) - 1)] : "\xE9";
        }
        case 14: case 15: case 16: case 17:
            if (depth < 3 && groups_ < 6) {
                const int number = ++groups_;
                std::string group = "(" + alternation(depth + 1) + ")";
                closed_.push_back(number);
                return group;
            }
            return "\\w";
        case 18:
            if (backRefs_ && !closed_.empty()) return "\\" + std::to_string(closed_[pick(0, closed_.size() - 1)]);
            return "b";
        case 19: return "^";
        case 20: return "$";
        case 21: return pick(0, 1) ? "\\A" : "\\Z";
        case 22: return pick(0, 1) ? "(?i)" : "(?-i)";
        case 23: return "[=;\\s]";
        default: return "A";
        }
    }

    std::mt19937 rng_;
    bool utf8_;
    bool backRefs_;
    int groups_ = 0;
    std::vector<int> closed_;
};

// Every match of an ExecNext loop with all its groups, then a search from a later offset; an
// error ends the record with its code.
inline std::string record(TVxRegex& re, const std::string& subject, std::int64_t offset) {
    std::string out;
    auto spans = [&] {
        for (int g = 0; g <= re.CompiledProgram()->groupCount; ++g)
            out += std::to_string(re.MatchStart(g)) + "," + std::to_string(re.MatchLength(g)) + " ";
        out += "|";
    };
    try {
        int n = 0;
        for (bool found = re.Exec(subject); found && n < 200; found = re.ExecNext(), ++n) spans();
        out += "/";
        if (re.ExecPos(offset)) spans();
    } catch (const EVxRegex& e) {
        out += "error " + std::to_string(e.code());
    }
    return out;
}

// The modifiers of round `round` of a series: i, s, g and m in every combination; r stays on.
inline unsigned roundModifiers(int round) {
    return regexpr::kModR | ((round & 1) ? regexpr::kModI : 0u) | ((round & 2) ? regexpr::kModS : 0u) |
           ((round & 4) ? regexpr::kModG : 0u) | ((round & 8) ? regexpr::kModM : 0u);
}

}  // namespace vsr::test
