#include "engine/modify/unified_diff.h"

#include <vector>

#include "engine/modify/sequence_diff.h"

namespace vsr::engine {
namespace {

bool needsQuoting(std::string_view name) {
    for (unsigned char ch : name)
        if (ch <= ' ' || ch == '"' || ch == '\\' || ch >= 0x7f) return true;
    return false;
}

// "-S,L" / "+S,L" of a hunk: S is the first line (the line before an empty range), ",L" is
// left out when L is 1.
std::string range(char sign, std::size_t begin, std::size_t count) {
    std::string out(1, sign);
    out += std::to_string(count == 0 ? begin : begin + 1);
    if (count != 1) out += "," + std::to_string(count);
    return out;
}

void appendLine(std::string& out, char sign, std::string_view line) {
    out += sign;
    out += line;
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string diffFileName(std::string_view prefix, std::string_view name) {
    std::string plain(prefix);
    plain += name;
    if (!needsQuoting(plain)) return plain;
    std::string out = "\"";
    static const char digits[] = "01234567";
    for (unsigned char ch : plain) {
        switch (ch) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default:
                if (ch < ' ' || ch >= 0x7f) {
                    out += '\\';
                    out += digits[(ch >> 6) & 7];
                    out += digits[(ch >> 3) & 7];
                    out += digits[ch & 7];
                } else {
                    out += static_cast<char>(ch);
                }
        }
    }
    return out + "\"";
}

std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after, int context) {
    if (before == after) return {};
    const std::string oldName = diffFileName("a/", name);
    const std::string newName = diffFileName("b/", name);
    if (before.find('\0') != std::string_view::npos || after.find('\0') != std::string_view::npos)
        return "Binary files " + oldName + " and " + newName + " differ\n";

    const std::vector<std::string_view> a = splitDiffLines(before);
    const std::vector<std::string_view> b = splitDiffLines(after);
    const std::vector<DiffChange> changes = diffLines(a, b);
    std::string out = "--- " + oldName + "\n+++ " + newName + "\n";
    const std::size_t ctx = static_cast<std::size_t>(context < 0 ? 0 : context);
    std::size_t i = 0;
    while (i < changes.size()) {
        // A hunk takes every following change whose gap of equal lines its context would cover.
        std::size_t j = i;
        while (j + 1 < changes.size() && changes[j + 1].aBegin - changes[j].aEnd <= 2 * ctx) ++j;
        const std::size_t aStart = changes[i].aBegin > ctx ? changes[i].aBegin - ctx : 0;
        const std::size_t bStart = changes[i].bBegin - (changes[i].aBegin - aStart);
        const std::size_t aStop = std::min(a.size(), changes[j].aEnd + ctx);
        const std::size_t bStop = changes[j].bEnd + (aStop - changes[j].aEnd);
        out += "@@ " + range('-', aStart, aStop - aStart) + " " + range('+', bStart, bStop - bStart) + " @@\n";
        std::size_t ai = aStart;
        for (std::size_t c = i; c <= j; ++c) {
            for (; ai < changes[c].aBegin; ++ai) appendLine(out, ' ', a[ai]);
            for (std::size_t k = changes[c].aBegin; k < changes[c].aEnd; ++k) appendLine(out, '-', a[k]);
            for (std::size_t k = changes[c].bBegin; k < changes[c].bEnd; ++k) appendLine(out, '+', b[k]);
            ai = changes[c].aEnd;
        }
        for (; ai < aStop; ++ai) appendLine(out, ' ', a[ai]);
        i = j + 1;
    }
    return out;
}

}  // namespace vsr::engine
