// Fuzz target: compiles and runs the regular-expression engine on arbitrary bytes.
// Input layout: one byte of modifiers (bit 64: no paired line separator, bit 128: UTF-8 text),
// the expression up to the first byte 0x01, then the subject. Besides crashes and sanitizer
// reports, a match outside the subject, a group outside its match, (UTF-8) a match that starts
// or ends inside a character, or a result that differs from the plain search without the scan
// shortcuts is a failure.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "regexpr/vx_regex.h"
#include "text/utf8.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void setUp(vsr::regexpr::TVxRegex& re, std::uint8_t flags, std::chrono::steady_clock::time_point started) {
    re.SetModifiers(flags & 63u);
    if (flags & 64u) re.SetLinePairedSeparator("");
    if (flags & 128u) re.SetUtf8(true);
    // A smaller budget than the program's keeps every input quick; the clock is a second guard.
    re.SetBacktrackLimit(200000);
    re.SetCancelHook([started] { return std::chrono::steady_clock::now() - started < std::chrono::milliseconds(100); });
}

// The spans of every match and group of an ExecNext loop; empty when the search ran out of its
// budget or time, which the plain search may where the shortcuts spare it the work.
std::string spans(vsr::regexpr::TVxRegex& re, std::string_view subject, bool& complete) {
    std::string out;
    complete = false;
    try {
        bool found = re.Exec(subject);
        for (int n = 0; found && n < 1000; found = re.ExecNext(), ++n)
            for (int g = 0; g <= 14; ++g)
                out += std::to_string(re.MatchStart(g)) + "," + std::to_string(re.MatchLength(g)) + ";";
        complete = true;
    } catch (const vsr::regexpr::EVxRegex& e) {
        out += "error " + std::to_string(e.code());
        complete = e.code() != 1016;
    } catch (const vsr::regexpr::MatchInterrupted&) {
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = rest.find('\x01');
    std::string_view pattern = rest.substr(0, cut);
    std::string_view subject = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    vsr::regexpr::TVxRegex re;
    const bool utf8 = (data[0] & 128u) != 0;
    auto started = std::chrono::steady_clock::now();
    setUp(re, data[0], started);
    try {
        re.SetExpression(pattern);
        bool found = re.Exec(subject);
        const auto length = static_cast<std::int64_t>(re.InputString().size());
        for (int n = 0; found && n < 1000; found = re.ExecNext(), ++n) {
            const std::int64_t start = re.MatchStart(0), end = start + re.MatchLength(0);
            check(start >= 1 && re.MatchLength(0) >= 0 && end <= length + 1);
            if (utf8) {
                const std::string_view in = re.InputString();
                check(vsr::text::utf8::isCharStart(in, static_cast<std::size_t>(start - 1)) &&
                      vsr::text::utf8::isCharStart(in, static_cast<std::size_t>(end - 1)));
            }
            for (int g = 1; g <= 14; ++g) {
                if (re.MatchStart(g) < 0) continue;
                check(re.MatchLength(g) >= 0 && re.MatchStart(g) + re.MatchLength(g) <= length + 1);
            }
            (void)re.ExpandTemplate("$0${1}$2\\$&$");
        }
    } catch (const vsr::regexpr::EVxRegex& e) {
        check(e.code() > 0);
    } catch (const vsr::regexpr::MatchInterrupted&) {
    }
    // The same search the plain way, on a short subject so that it stays quick.
    if (subject.size() <= 256) {
        started = std::chrono::steady_clock::now();
        vsr::regexpr::TVxRegex fast, plain;
        setUp(fast, data[0], started);
        setUp(plain, data[0], started);
        plain.SetScanShortcuts(false);
        fast.SetExpression(pattern);
        plain.SetExpression(pattern);
        bool fastComplete = false, plainComplete = false;
        const std::string a = spans(fast, subject, fastComplete), b = spans(plain, subject, plainComplete);
        if (fastComplete && plainComplete) check(a == b);
    }
    return 0;
}
