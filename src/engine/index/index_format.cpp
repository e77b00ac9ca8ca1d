#include "engine/index/index_format.h"

#include <cstring>

namespace vsr::engine::index {

std::uint64_t hashBytes(std::string_view bytes) {
    constexpr std::uint64_t k1 = 0x9E3779B185EBCA87ULL;
    constexpr std::uint64_t k2 = 0xC2B2AE3D27D4EB4FULL;
    std::uint64_t h = 0x27D4EB2F165667C5ULL ^ (bytes.size() * k1);
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h ^= w * k2;
        h = ((h << 31) | (h >> 33)) * k1;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    h ^= (tail * k2) ^ n;
    h ^= h >> 33;
    h *= k2;
    h ^= h >> 29;
    h *= k1;
    h ^= h >> 32;
    return h;
}

void appendVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

bool readVarint(std::string_view bytes, std::size_t& pos, std::uint32_t& value) {
    std::uint64_t v = 0;
    for (int shift = 0; shift <= 28; shift += 7) {
        if (pos >= bytes.size()) return false;
        const auto b = static_cast<unsigned char>(bytes[pos++]);
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) {
            if (v > 0xFFFFFFFFULL) return false;
            value = static_cast<std::uint32_t>(v);
            return true;
        }
    }
    return false;
}

}  // namespace vsr::engine::index
