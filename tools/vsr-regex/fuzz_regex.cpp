// libFuzzer target over compile + match of the regular-expression engine. Not part of the build:
//   clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc \
//       tools/vsr-regex/fuzz_regex.cpp src/regexpr/*.cpp -o /tmp/fuzz_regex && /tmp/fuzz_regex -max_total_time=300
// Input layout: one byte of modifiers, the expression up to the first byte 0x01, then the subject.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "regexpr/vx_regex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = rest.find('\x01');
    std::string_view pattern = rest.substr(0, cut);
    std::string_view subject = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    vsr::regexpr::TVxRegex re;
    re.SetModifiers(data[0] & 63u);
    if (data[0] & 64u) re.SetLinePairedSeparator("");
    auto started = std::chrono::steady_clock::now();
    re.SetCancelHook([&] { return std::chrono::steady_clock::now() - started < std::chrono::milliseconds(100); });
    try {
        re.SetExpression(pattern);
        int n = 0;
        for (bool found = re.Exec(subject); found && n < 1000; found = re.ExecNext(), ++n)
            (void)re.ExpandTemplate("$0${1}$2\\$&$");
    } catch (const vsr::regexpr::EVxRegex&) {
    } catch (const vsr::regexpr::MatchInterrupted&) {
    }
    return 0;
}
