// Fuzz target: compiles and runs the regular-expression engine on arbitrary bytes.
// Input layout: one byte of modifiers (bit 64: no paired line separator, bit 128: UTF-8 text),
// the expression up to the first byte 0x01, then the subject. Besides crashes and sanitizer
// reports, a match outside the subject, a group outside its match, or (UTF-8) a match that
// starts or ends inside a character is a failure.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "regexpr/vx_regex.h"
#include "text/utf8.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = rest.find('\x01');
    std::string_view pattern = rest.substr(0, cut);
    std::string_view subject = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    vsr::regexpr::TVxRegex re;
    re.SetModifiers(data[0] & 63u);
    if (data[0] & 64u) re.SetLinePairedSeparator("");
    const bool utf8 = (data[0] & 128u) != 0;
    if (utf8) re.SetUtf8(true);
    // A smaller budget than the program's keeps every input quick; the clock is a second guard.
    re.SetBacktrackLimit(200000);
    auto started = std::chrono::steady_clock::now();
    re.SetCancelHook([&] { return std::chrono::steady_clock::now() - started < std::chrono::milliseconds(100); });
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
    return 0;
}
