#include "engine/decode/damaged_units.h"

namespace vsr::engine::damaged {

void append(std::string& out, const unsigned char* bytes, std::size_t n) {
    out += static_cast<char>(kFirstLead + (n - 1));
    for (std::size_t k = 0; k < n; ++k) {
        out += static_cast<char>(0x80 | (bytes[k] >> 4));
        out += static_cast<char>(0x80 | (bytes[k] & 0x0F));
    }
}

std::size_t take(const unsigned char* p, std::size_t n, unsigned char* unit, std::size_t& count) {
    count = static_cast<std::size_t>(p[0] - kFirstLead) + 1;
    const std::size_t length = 1 + 2 * count;
    if (n < length) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((p[k] & 0xF0) != 0x80) return 0;
    for (std::size_t k = 0; k < count; ++k)
        unit[k] = static_cast<unsigned char>((p[1 + 2 * k] & 0x0F) << 4 | (p[2 + 2 * k] & 0x0F));
    return length;
}

std::string shown(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char unit[kMaxBytes];
        std::size_t count = 0;
        const std::size_t length = isLead(p[i]) ? take(p + i, text.size() - i, unit, count) : 0;
        if (length) {
            out += "\xEF\xBF\xBD";
            i += length;
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace vsr::engine::damaged
