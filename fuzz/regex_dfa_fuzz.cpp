// Fuzz target: the engine with its automaton against the backtracker alone. Input layout: one
// byte of modifiers (the low six bits, as TVxRegex::SetModifiers) and 64 for UTF-8 text, the
// expression up to the first byte 0x01, then the text. Every match of an ExecNext loop, with its
// groups, and a search from the middle of the text must be the same both ways; only a text the
// backtracker alone could not finish is left out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"
#include "../tests/regexpr/random_expressions.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\x01');
    if (cut == std::string_view::npos || cut == 0 || cut > 300) return 0;
    const std::string_view expression = rest.substr(0, cut), text = rest.substr(cut + 1);
    vsr::regexpr::TVxRegex fast, alone;
    for (vsr::regexpr::TVxRegex* re : {&fast, &alone}) {
        re->SetUtf8(data[0] & 64);
        re->SetModifiers(data[0] & 63u);
        re->SetBacktrackLimit(100000);
        re->SetStepLimit(300000);
        re->SetExpression(expression);
    }
    alone.SetAutomaton(false);
    try {
        fast.Compile();
    } catch (const vsr::regexpr::EVxRegex&) {
        return 0;
    }
    const std::string subject(text);
    const auto middle = static_cast<std::int64_t>(subject.size() / 2) + 1;
    const std::string a = vsr::test::record(fast, subject, middle), b = vsr::test::record(alone, subject, middle);
    if (b.find("error 1016") != std::string::npos) return 0;
    if (a != b) __builtin_trap();
    return 0;
}
