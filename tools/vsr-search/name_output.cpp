#include "name_output.h"

namespace vsr::tools {
namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool needsQuotes(std::string_view name) {
    if (name.starts_with('"')) return true;
    for (char c : name)
        if (isControl(static_cast<unsigned char>(c))) return true;
    return false;
}

}  // namespace

std::string quotedName(std::string_view name) {
    if (!needsQuotes(name)) return std::string(name);
    std::string out = "\"";
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default:
                if (isControl(c)) {
                    // Three octal digits, so a digit that follows is never taken into the escape.
                    out += '\\';
                    out += static_cast<char>('0' + (c >> 6));
                    out += static_cast<char>('0' + ((c >> 3) & 7));
                    out += static_cast<char>('0' + (c & 7));
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

void NameOutput::append(std::string& line, std::string_view name, char after) const {
    if (nullAfterName) {
        line.append(name);
        line += '\0';
        return;
    }
    line += quotedName(name);
    line += after;
}

}  // namespace vsr::tools
