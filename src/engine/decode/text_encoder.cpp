#include "engine/decode/text_encoder.h"

#include <cstdio>

#include "engine/decode/damaged_units.h"
#include "engine/decode/page_bytes.h"
#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::engine {
namespace {

namespace utf8 = text::utf8;
using Form = FileEncoding::Form;

void putUnit(std::string& out, char32_t v, Form form) {
    switch (form) {
        case Form::Utf16Le:
            out += static_cast<char>(v & 0xFF);
            out += static_cast<char>(v >> 8);
            break;
        case Form::Utf16Be:
            out += static_cast<char>(v >> 8);
            out += static_cast<char>(v & 0xFF);
            break;
        case Form::Utf32Le:
            for (int s = 0; s < 32; s += 8) out += static_cast<char>((v >> s) & 0xFF);
            break;
        case Form::Utf32Be:
            for (int s = 24; s >= 0; s -= 8) out += static_cast<char>((v >> s) & 0xFF);
            break;
        default: break;
    }
}

// Appends `c` in the file's encoding; false when it can't hold it.
bool put(std::string& out, char32_t c, FileEncoding to) {
    switch (to.form) {
        case Form::Page:
            if (std::optional<unsigned char> b = pageByte(to.page, c)) {
                out += static_cast<char>(*b);
                return true;
            }
            return false;
        case Form::Utf8Mark: utf8::append(out, c); return true;
        case Form::Utf16Le:
        case Form::Utf16Be:
            if (c >= 0x10000) {
                putUnit(out, 0xD800 + ((c - 0x10000) >> 10), to.form);
                putUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), to.form);
            } else {
                putUnit(out, c, to.form);
            }
            return true;
        case Form::Utf32Le:
        case Form::Utf32Be: putUnit(out, c, to.form); return true;
        case Form::Chosen: break;
    }
    return false;
}

}  // namespace

EncodedFile encodeFileText(FileEncoding to, platform::CodePageId from, std::string_view text) {
    EncodedFile result;
    if (to.chosen()) {
        result.bytes.assign(text);
        return result;
    }
    std::string& out = result.bytes;
    out.assign(byteOrderMark(to.form));
    // A UTF-8 setting writes a UTF-8 file's text as it is, bytes that are no character included.
    if (to.form == Form::Utf8Mark && from == platform::CodePageId::Utf8) {
        out.append(text);
        return result;
    }
    out.reserve(out.size() + text.size() * 2);
    const std::size_t mark = out.size();
    const std::size_t width = to.form == Form::Utf16Le || to.form == Form::Utf16Be   ? 2
                              : to.form == Form::Utf32Le || to.form == Form::Utf32Be ? 4
                                                                                     : 1;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        if (from == platform::CodePageId::Utf8) {
            if (damaged::isLead(p[i])) {
                unsigned char unit[damaged::kMaxBytes];
                std::size_t count = 0;
                if (const std::size_t length = damaged::take(p + i, text.size() - i, unit, count)) {
                    out.append(reinterpret_cast<const char*>(unit), count);
                    i += length;
                    continue;
                }
            }
            i += utf8::decode(p + i, text.size() - i, c);
            if ((out.size() - mark) % width != 0) {
                result.refused = c;
                result.misaligned = true;
                return result;
            }
        } else {
            c = platform::pageCharacter(from, p[i]);
            ++i;
        }
        if (utf8::isInvalid(c) || !put(out, c, to)) {
            result.refused = c;
            return result;
        }
    }
    return result;
}

std::string unwritableReason(FileEncoding encoding, const EncodedFile& written) {
    if (!written.misaligned) return unwritableReason(encoding, written.refused.value_or(0));
    return std::string("its encoding, ") + fileEncodingName(encoding) +
           ", would get a damaged unit out of step with the characters after it";
}

std::string unwritableReason(FileEncoding encoding, char32_t refused) {
    const std::string name = fileEncodingName(encoding);
    char code[16];
    if (utf8::isInvalid(refused)) {
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(refused - utf8::kInvalidBase));
        return "its encoding, " + name + ", would get the byte " + code + " that is no character of the text";
    }
    std::string shown;
    if (refused >= 0x20) {
        shown = "\"";
        utf8::append(shown, refused);
        shown += "\" ";
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(refused));
    return "its encoding, " + name + ", cannot hold the character " + shown + "(" + code + ")";
}

}  // namespace vsr::engine
