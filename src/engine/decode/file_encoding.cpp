#include "engine/decode/file_encoding.h"


namespace vsr::engine {

std::string_view byteOrderMark(FileEncoding::Form form) {
    using Form = FileEncoding::Form;
    switch (form) {
        case Form::Utf8Mark: return {"\xEF\xBB\xBF", 3};
        case Form::Utf16Le: return {"\xFF\xFE", 2};
        case Form::Utf16Be: return {"\xFE\xFF", 2};
        case Form::Utf32Le: return {"\xFF\xFE\0\0", 4};
        case Form::Utf32Be: return {"\0\0\xFE\xFF", 4};
        case Form::Chosen:
        case Form::Page: break;
    }
    return {};
}

std::optional<FileEncoding> markedEncoding(std::string_view head) {
    using Form = FileEncoding::Form;
    for (Form form : {Form::Utf32Le, Form::Utf32Be, Form::Utf8Mark, Form::Utf16Le, Form::Utf16Be})
        if (head.starts_with(byteOrderMark(form))) return FileEncoding{form};
    return std::nullopt;
}

const char* fileEncodingName(FileEncoding encoding) {
    using Form = FileEncoding::Form;
    switch (encoding.form) {
        case Form::Chosen: return "";
        case Form::Utf8Mark: return "UTF-8 with BOM";
        case Form::Utf16Le: return "UTF-16 LE";
        case Form::Utf16Be: return "UTF-16 BE";
        case Form::Utf32Le: return "UTF-32 LE";
        case Form::Utf32Be: return "UTF-32 BE";
        case Form::Page: break;
    }
    switch (encoding.page) {
        case platform::CodePageId::Windows1250: return "Windows-1250";
        case platform::CodePageId::Windows1251: return "Windows-1251";
        case platform::CodePageId::Iso8859_1: return "ISO-8859-1";
        case platform::CodePageId::Iso8859_15: return "ISO-8859-15";
        case platform::CodePageId::Utf8: return "UTF-8";
        case platform::CodePageId::Windows1252: break;
    }
    return "Windows-1252";
}

platform::CodePageId fallbackPageForLocale(std::string_view name) {
    const std::string_view language = name.substr(0, name.find_first_of("_.@"));
    // Cyrillic: Russian, Ukrainian, Belarusian, Bulgarian, Serbian, Macedonian.
    for (std::string_view l : {"ru", "uk", "be", "bg", "sr", "mk"})
        if (language == l) return platform::CodePageId::Windows1251;
    // Central European: Polish, Czech, Slovak, Hungarian, Slovenian, Croatian, Bosnian, Romanian.
    for (std::string_view l : {"pl", "cs", "sk", "hu", "sl", "hr", "bs", "ro"})
        if (language == l) return platform::CodePageId::Windows1250;
    return platform::CodePageId::Windows1252;
}

platform::CodePageId systemFallbackPage() { return fallbackPageForLocale(platform::systemLocaleName()); }

}  // namespace vsr::engine
