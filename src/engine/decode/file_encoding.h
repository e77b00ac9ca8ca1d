#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/code_page.h"

namespace vsr::engine {

// The encoding a file's bytes are in, as opposed to the chosen text encoding the matchers and
// the window work in. `Chosen` is the usual case: the file is text of the chosen encoding and
// is matched as it lies. The others are decoded into the chosen encoding first: a file that
// begins with a byte order mark, or (on a UTF-8 setting) one that is no valid UTF-8 and is
// read in the fallback page.
struct FileEncoding {
    enum class Form : std::uint8_t { Chosen, Utf8Mark, Utf16Le, Utf16Be, Utf32Le, Utf32Be, Page };
    Form form = Form::Chosen;
    // The page of Form::Page.
    platform::CodePageId page = platform::CodePageId::Windows1252;

    bool chosen() const { return form == Form::Chosen; }
    bool marked() const { return form != Form::Chosen && form != Form::Page; }
    bool operator==(const FileEncoding&) const = default;

    static FileEncoding ofPage(platform::CodePageId id) { return {Form::Page, id}; }
};

// The byte order mark a file in `form` begins with (empty for Chosen and Page).
std::string_view byteOrderMark(FileEncoding::Form form);
// The encoding whose mark `head` (the first bytes of a file) begins with. A UTF-32 LE mark
// begins like a UTF-16 LE one and wins.
std::optional<FileEncoding> markedEncoding(std::string_view head);

// The name a row and vsr-search show: "UTF-16 LE", "UTF-8 with BOM", "Windows-1251", ...
// (empty for Chosen).
const char* fileEncodingName(FileEncoding encoding);

// The page a user of the locale `name` (as LC_ALL, LC_CTYPE or LANG hold it, "ru_RU.UTF-8")
// expects files that are not UTF-8 to be in: the Windows page of the language's script, as
// the files such a user meets were most likely written on Windows; Western European otherwise.
platform::CodePageId fallbackPageForLocale(std::string_view name);
// The same for the user's own locale.
platform::CodePageId systemFallbackPage();

}  // namespace vsr::engine
