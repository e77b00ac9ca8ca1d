#include "platform/file_uri.h"

namespace vsr::platform {

namespace {

bool isPlain(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string percentEscaped(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size() + path.size() / 4);
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (isPlain(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string percentUnescaped(std::string_view escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '%' && i + 2 < escaped.size() && hexValue(escaped[i + 1]) >= 0 &&
            hexValue(escaped[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(escaped[i + 1]) * 16 + hexValue(escaped[i + 2]));
            i += 2;
        } else {
            out += escaped[i];
        }
    }
    return out;
}

std::string fileUri(std::string_view absolutePath) { return "file://" + percentEscaped(absolutePath); }

}  // namespace vsr::platform
