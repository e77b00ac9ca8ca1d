#include "regexpr/vx_regex.h"

namespace vsr::regexpr {

// "$n", "$&" and "${n}" take the text of group n; a group outside 0..14 or not matched gives
// nothing. "\" makes the next character literal; a "\" at the very end is kept as it is.
std::string TVxRegex::ExpandTemplate(std::string_view tmpl) const {
    if (!program_ || !hasInput_) throw EVxRegex(kErrNoInput, 0);
    auto groupText = [this](std::uint64_t g) -> std::string_view {
        return g < static_cast<std::uint64_t>(kGroupSlots) ? Match(static_cast<int>(g)) : std::string_view();
    };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    out.reserve(tmpl.size());
    for (std::size_t i = 0; i < tmpl.size();) {
        char c = tmpl[i];
        if (c == '\\' && i + 1 < tmpl.size()) {
            out += tmpl[i + 1];
            i += 2;
            continue;
        }
        if (c == '$' && i + 1 < tmpl.size()) {
            char d = tmpl[i + 1];
            if (d == '&') {
                out += groupText(0);
                i += 2;
                continue;
            }
            std::size_t j = i + 1;
            bool braced = d == '{';
            if (braced) ++j;
            std::size_t digitsStart = j;
            std::uint64_t g = 0;
            while (j < tmpl.size() && isDigit(tmpl[j])) {
                if (g < 1000) g = g * 10 + static_cast<std::uint64_t>(tmpl[j] - '0');
                ++j;
            }
            bool ok = j > digitsStart && (!braced || (j < tmpl.size() && tmpl[j] == '}'));
            if (ok) {
                out += groupText(g);
                i = braced ? j + 1 : j;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace vsr::regexpr
