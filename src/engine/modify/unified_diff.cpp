#include "engine/modify/unified_diff.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>
#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/modify/byte_scan.h"
#include "engine/modify/sequence_diff.h"
#include "engine/modify/thread_buffer.h"
#include "engine/query/cpu_features.h"

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

// Where two texts differ, in whole lines: both share the bytes before `begin` and from
// `beforeEnd` / `afterEnd` on, and each of those bounds starts a line.
struct Stretch {
    std::size_t begin = 0;
    std::size_t beforeEnd = 0;
    std::size_t afterEnd = 0;
};

// The start of the line `lines` lines before the one starting at `pos` (or 0): just past the
// lines-th line feed back from the one that ends the line before.
std::size_t linesBack(std::string_view text, std::size_t pos, std::size_t lines) {
    if (lines == 0 || pos <= 1) return lines == 0 ? pos : 0;
    const std::size_t lf = nthFeedBack(text.data(), pos - 1, lines);
    return lf == pos - 1 ? 0 : lf + 1;
}

// The start of the line `lines` lines after the one starting at `pos`, or the end; `taken` is
// how many lines that passed (fewer at the end of the text).
std::size_t linesOn(std::string_view text, std::size_t pos, std::size_t lines, std::size_t& taken) {
    taken = 0;
    if (lines == 0 || pos >= text.size()) return pos;
    std::size_t seen = 0;
    const std::size_t rest = text.size() - pos;
    const std::size_t lf = nthFeed(text.data() + pos, rest, lines, seen);
    if (lf < rest) {
        taken = lines;
        return pos + lf + 1;
    }
    // The last line may lack its line feed.
    taken = seen + (text.back() != '\n' ? 1 : 0);
    return text.size();
}
std::size_t linesOn(std::string_view text, std::size_t pos, std::size_t lines) {
    std::size_t taken = 0;
    return linesOn(text, pos, lines, taken);
}

Stretch differingStretch(std::string_view before, std::string_view after, std::size_t context) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    // Eight bytes at a time, then byte by byte.
    while (prefix + 8 <= shorter && std::memcmp(before.data() + prefix, after.data() + prefix, 8) == 0) prefix += 8;
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    // Back to the start of the line the first difference is in.
    const std::size_t lf = prefix > 0 ? before.rfind('\n', prefix - 1) : std::string_view::npos;
    std::size_t begin = lf == std::string_view::npos ? 0 : lf + 1;

    // The common tail must not reach into the common head.
    const std::size_t room = shorter - begin;
    std::size_t suffix = 0;
    while (suffix + 8 <= room &&
           std::memcmp(before.data() + before.size() - suffix - 8, after.data() + after.size() - suffix - 8, 8) == 0)
        suffix += 8;
    while (suffix < room && before[before.size() - suffix - 1] == after[after.size() - suffix - 1]) ++suffix;
    // The common tail counts from the first line that starts inside it.
    std::size_t tail = 0;
    const std::string_view common = before.substr(before.size() - suffix);
    const std::size_t firstLf = common.find('\n');
    if (firstLf != std::string_view::npos) tail = suffix - (firstLf + 1);

    Stretch s;
    s.begin = linesBack(before, begin, context);
    const std::size_t beforeTail = before.size() - tail;
    const std::size_t afterTail = after.size() - tail;
    // The context after the last difference: whole lines of the common tail (equal in both).
    const std::size_t extra = linesOn(before, beforeTail, context) - beforeTail;
    s.beforeEnd = beforeTail + extra;
    s.afterEnd = afterTail + extra;
    return s;
}

std::size_t countLines(std::string_view text) {
    std::size_t n = 0;
    for (const char* p = text.data(), *end = p + text.size();;) {
        const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!hit) return n;
        ++n;
        p = static_cast<const char*>(hit) + 1;
    }
}

std::string fileHeaders(std::string_view name) {
    return "--- " + diffFileName("a/", name) + "\n+++ " + diffFileName("b/", name) + "\n";
}

}  // namespace

namespace {

constexpr std::string_view kNoNewline = "\n\\ No newline at end of file\n";

#if defined(__x86_64__)
// The loop of DiffWriter::lines 32 bytes at a time: copies the lines of [s, end) to `out`, each
// piece up to the first line feed among its bytes, `sign` after every line feed but one that
// ends the text; stops where fewer than 32 bytes are readable. True when it wrote the whole text
// and the text ends with a line feed.
__attribute__((target("avx2"))) bool linesAvx2(char*& out, const char*& s, const char* end, const char* readable,
                                               char sign) {
    const __m256i lf = _mm256_set1_epi8('\n');
    char* p = out;
    const char* from = s;
    bool ended = false;
    while (from < end && readable - from >= 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), bytes);
        unsigned feeds = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, lf)));
        const std::size_t left = static_cast<std::size_t>(end - from);
        if (left < 32) feeds &= (1u << left) - 1;
        const std::size_t kept = feeds ? static_cast<std::size_t>(__builtin_ctz(feeds)) + 1 : std::min<std::size_t>(left, 32);
        from += kept;
        p += kept;
        if (feeds) {
            if (from == end) {
                ended = true;
                break;
            }
            *p++ = sign;
        }
    }
    out = p;
    s = from;
    return ended;
}
#endif

// Writes a diff into a buffer known to be large enough: no line costs a look at the room left.
class DiffWriter {
public:
    explicit DiffWriter(char* at) : p_(at) {}
    char* end() const { return p_; }
    char*& at() { return p_; }
    void put(char ch) { *p_++ = ch; }
    void put(std::string_view text) {
        std::memcpy(p_, text.data(), text.size());
        p_ += text.size();
    }
    void number(std::size_t n) { p_ = std::to_chars(p_, p_ + 20, n).ptr; }
    // "-S,L" / "+S,L", as range() makes it.
    void range(char sign, std::size_t begin, std::size_t count) {
        put(sign);
        number(count == 0 ? begin : begin + 1);
        if (count != 1) {
            put(',');
            number(count);
        }
    }
    void noNewline() { put(kNoNewline); }
    // Every line of `text` (whole lines, the last perhaps without its line feed) with `sign`
    // before it. `text` lies in bytes readable up to `readable`, which may be read past its
    // end. Writes up to kSlack bytes past what it keeps.
    void lines(char sign, std::string_view text, const char* readable) {
        const char* s = text.data();
        const char* const end = s + text.size();
        if (s == end) return;
        put(sign);
#if defined(__x86_64__)
        if (hasAvx2() && linesAvx2(p_, s, end, readable, sign)) return;
#endif
#if defined(__SSE2__)
        // Sixteen bytes are copied at a time, up to the first line feed among them; the last
        // piece reads past the text where the bytes around it allow.
        const __m128i lf = _mm_set1_epi8('\n');
        while (s < end && readable - s >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p_), bytes);
            unsigned feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
            const std::size_t left = static_cast<std::size_t>(end - s);
            if (left < 16) feeds &= (1u << left) - 1;
            const std::size_t kept = feeds ? static_cast<std::size_t>(__builtin_ctz(feeds)) + 1 : std::min<std::size_t>(left, 16);
            s += kept;
            p_ += kept;
            if (feeds) {
                if (s == end) return;
                put(sign);
            }
        }
#endif
        while (s < end) {
            const char ch = *s++;
            put(ch);
            if (ch == '\n') {
                if (s == end) return;
                put(sign);
            }
        }
        noNewline();
    }
    static constexpr std::size_t kSlack = 32;

private:
    char* p_;
};

// The digits of `n`.
std::size_t digitsOf(std::size_t n) {
    std::size_t d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}

// "--- a/NAME\n+++ b/NAME\n", written straight when the name needs no quoting.
std::size_t headersSize(std::string_view name, bool quoted) {
    if (quoted) return fileHeaders(name).size();
    return 2 * (name.size() + 7);
}
void writeHeaders(DiffWriter& w, std::string_view name, bool quoted) {
    if (quoted) {
        w.put(fileHeaders(name));
        return;
    }
    w.put("--- a/");
    w.put(name);
    w.put("\n+++ b/");
    w.put(name);
    w.put('\n');
}

// A hunk of unifiedDiffOfLines: its changed lines lines[first..last], the old bytes it shows
// and its range.
struct LinesHunk {
    std::size_t first, last;
    std::size_t leadBegin, trailEnd, aStart, count;
};

}  // namespace

std::string unifiedDiffOfLines(std::string_view name, std::string_view before, const std::vector<ReplacedLine>& lines,
                               const NewLineWriter& writeNew, int context) {
    if (lines.empty()) return {};
    const std::size_t ctx = static_cast<std::size_t>(context < 0 ? 0 : context);
    // The hunks are laid out first, so the text is written into one buffer of the most it can
    // take, which is then cut to what it took.
    // A thread reuses these from one file to the next.
    thread_local std::vector<LinesHunk> keptHunks;
    ThreadBuffer<LinesHunk> hunksBuffer(keptHunks);
    std::vector<LinesHunk>& hunks = *hunksBuffer;
    const bool quoted = needsQuoting(name);
    const bool lastFeedMissing = !before.empty() && before.back() != '\n';
    std::size_t size = headersSize(name, quoted);
    for (std::size_t i = 0; i < lines.size();) {
        // A hunk takes every following changed line its context would reach, as unifiedDiff does.
        std::size_t j = i;
        while (j + 1 < lines.size() && lines[j + 1].line - (lines[j].line + 1) <= 2 * ctx) ++j;
        const std::size_t lead = std::min(ctx, lines[i].line);
        const std::size_t leadBegin = linesBack(before, lines[i].oldBegin, lead);
        // The context after: up to ctx lines, fewer at the end of the file.
        std::size_t trail = 0;
        const std::size_t trailEnd = linesOn(before, lines[j].oldEnd, ctx, trail);
        const std::size_t aStart = lines[i].line - lead;
        const std::size_t count = lines[j].line + 1 + trail - aStart;
        hunks.push_back({i, j, leadBegin, trailEnd, aStart, count});
        // The old lines it shows and the new changed ones, a sign before each line, the range
        // line ("@@ -S,L +S,L @@\n", neither number above aStart + count) and, at the end of a
        // file without a last line feed, the notes of it (one for each side).
        size += trailEnd - leadBegin + count + (j - i + 1) + 12 + 4 * digitsOf(aStart + count);
        if (lastFeedMissing && trailEnd == before.size()) size += 2 * kNoNewline.size();
        for (std::size_t t = i; t <= j; ++t) size += lines[t].newLength;
        i = j + 1;
    }
    std::string out;
    out.resize(size + DiffWriter::kSlack);
    DiffWriter w(out.data());
    writeHeaders(w, name, quoted);
    const char* const readable = before.data() + before.size();
    for (const LinesHunk& h : hunks) {
        w.put("@@ ");
        w.range('-', h.aStart, h.count);
        w.put(' ');
        w.range('+', h.aStart, h.count);
        w.put(" @@\n");
        w.lines(' ', before.substr(h.leadBegin, lines[h.first].oldBegin - h.leadBegin), readable);
        for (std::size_t k = h.first; k <= h.last;) {
            // A run of adjacent changed lines: its old lines, then its new ones.
            std::size_t r = k;
            while (r < h.last && lines[r + 1].line == lines[r].line + 1) ++r;
            for (std::size_t t = k; t <= r; ++t)
                w.lines('-', before.substr(lines[t].oldBegin, lines[t].oldEnd - lines[t].oldBegin), readable);
            for (std::size_t t = k; t <= r; ++t) {
                // The new line keeps the old one's line feed, or its lack of one.
                w.put('+');
                w.at() = writeNew(w.at(), t);
                if (before[lines[t].oldEnd - 1] != '\n') w.noNewline();
            }
            if (r < h.last)
                w.lines(' ', before.substr(lines[r].oldEnd, lines[r + 1].oldBegin - lines[r].oldEnd), readable);
            k = r + 1;
        }
        w.lines(' ', before.substr(lines[h.last].oldEnd, h.trailEnd - lines[h.last].oldEnd), readable);
    }
    out.resize(static_cast<std::size_t>(w.end() - out.data()));
    return out;
}

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

    // Only the stretch between the common leading and trailing lines is diffed, widened by the
    // context lines a hunk shows; the lines before it are counted, not compared.
    const std::size_t ctx = static_cast<std::size_t>(context < 0 ? 0 : context);
    const Stretch stretch = differingStretch(before, after, ctx);
    const std::size_t lineOffset = countLines(before.substr(0, stretch.begin));
    const std::vector<std::string_view> a = splitDiffLines(before.substr(stretch.begin, stretch.beforeEnd - stretch.begin));
    const std::vector<std::string_view> b = splitDiffLines(after.substr(stretch.begin, stretch.afterEnd - stretch.begin));
    const std::vector<DiffChange> changes = diffLines(a, b);
    std::string out = fileHeaders(name);
    std::size_t i = 0;
    while (i < changes.size()) {
        // A hunk takes every following change whose gap of equal lines its context would cover.
        std::size_t j = i;
        while (j + 1 < changes.size() && changes[j + 1].aBegin - changes[j].aEnd <= 2 * ctx) ++j;
        const std::size_t aStart = changes[i].aBegin > ctx ? changes[i].aBegin - ctx : 0;
        const std::size_t bStart = changes[i].bBegin - (changes[i].aBegin - aStart);
        const std::size_t aStop = std::min(a.size(), changes[j].aEnd + ctx);
        const std::size_t bStop = changes[j].bEnd + (aStop - changes[j].aEnd);
        out += "@@ " + range('-', lineOffset + aStart, aStop - aStart) + " " +
               range('+', lineOffset + bStart, bStop - bStart) + " @@\n";
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
