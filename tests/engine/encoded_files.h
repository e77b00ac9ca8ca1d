#pragma once
#include <string>
#include <string_view>

#include "engine/decode/file_encoding.h"
#include "text/utf8.h"

// Files in every encoding the search reads, written by hand from code points (not by the
// program's own encoder of files, so the two can't agree on a mistake).
namespace vsr::engine::test {

inline std::string utf8Of(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) vsr::text::utf8::append(out, c);
    return out;
}

// `text` in `form`, its mark first. Page: Windows-1252, for the characters the test texts use.
inline std::string fileBytes(FileEncoding::Form form, std::u32string_view text) {
    using Form = FileEncoding::Form;
    std::string out;
    auto unit16 = [&](char32_t u) {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        if (form == Form::Utf16Le) {
            out += lo;
            out += hi;
        } else {
            out += hi;
            out += lo;
        }
    };
    switch (form) {
        case Form::Chosen: return utf8Of(text);
        case Form::Utf8Mark: return "\xEF\xBB\xBF" + utf8Of(text);
        case Form::Utf16Le:
        case Form::Utf16Be:
            unit16(0xFEFF);
            for (char32_t c : text) {
                if (c < 0x10000) {
                    unit16(c);
                } else {
                    unit16(0xD800 + ((c - 0x10000) >> 10));
                    unit16(0xDC00 + ((c - 0x10000) & 0x3FF));
                }
            }
            return out;
        case Form::Utf32Le:
        case Form::Utf32Be:
            for (char32_t c : std::u32string(1, 0xFEFF) + std::u32string(text))
                for (int k = 0; k < 4; ++k) {
                    const int shift = form == Form::Utf32Le ? 8 * k : 24 - 8 * k;
                    out += static_cast<char>((c >> shift) & 0xFF);
                }
            return out;
        case Form::Page:
            for (char32_t c : text) out += static_cast<char>(c == U'\u20AC' ? 0x80 : c);  // ASCII, Latin-1, the euro
            return out;
    }
    return out;
}

inline constexpr FileEncoding::Form kAllForms[] = {
    FileEncoding::Form::Chosen,  FileEncoding::Form::Utf8Mark, FileEncoding::Form::Utf16Le, FileEncoding::Form::Utf16Be,
    FileEncoding::Form::Utf32Le, FileEncoding::Form::Utf32Be,  FileEncoding::Form::Page};

}  // namespace vsr::engine::test
