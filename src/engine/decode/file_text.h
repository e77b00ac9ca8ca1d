#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/decode/file_encoding.h"
#include "engine/query/search_conditions.h"
#include "platform/file_system.h"

namespace vsr::engine {

// How files are read as text: the chosen text encoding and, on a UTF-8 setting, the page a
// file that is not valid UTF-8 is read in (none: such a file is taken as the bytes it is).
struct TextReading {
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
    std::optional<platform::CodePageId> fallback;
    // For a text that is written back: on a UTF-8 setting a damaged unit of a UTF-16 or UTF-32
    // file is kept as the run of its bytes (damaged_units.h) rather than shown as U+FFFD.
    bool keepDamaged = false;

    static TextReading of(const SearchConditions& c) { return {c.textEncoding, c.fallbackEncoding}; }
    static TextReading forWriting(const SearchConditions& c) { return {c.textEncoding, c.fallbackEncoding, true}; }
    // The fallback applies: a UTF-8 setting with a page chosen for files that are not UTF-8.
    bool checksUtf8() const { return textEncoding == platform::CodePageId::Utf8 && fallback.has_value(); }
};

// What a file's text is, the one thing between reading a file and matching it. The matchers
// see `text`, in the chosen encoding, and never learn where it came from.
enum class TextKind {
    Bytes,          // the file is text of the chosen encoding, matched as it lies
    Encoded,        // text in the file's own encoding (see FileEncoding), decoded
    ArchiveMember,  // a member of an archive, as its reader hands it over
    Document,       // the text of a document, as its reader hands it over
};

struct FileText {
    TextKind kind = TextKind::Bytes;
    FileEncoding fileEncoding;
    // In the chosen encoding: a view of the file's bytes, or of the caller's scratch text.
    std::string_view text;
    // Encoded: every character was held by the chosen encoding and well-formed, so writing
    // `text` back in `encoding` gives the file's bytes again.
    bool exact = true;
    std::optional<char32_t> lacking;  // the first character the chosen encoding lacks
    // Read with keepDamaged: some unit was no character and `text` holds the run of its bytes.
    bool damaged = false;

    // Only text that is the file, or its exact decoding, is ever written back.
    bool modifiable() const { return kind == TextKind::Bytes || (kind == TextKind::Encoded && exact); }
};

// The encoding of a file whose first bytes are `head` when its mark alone says it (the
// fallback needs the whole text): its mark, else Chosen.
FileEncoding encodingByMark(std::string_view head);

// The text of a file read whole. A UTF-8 file behind its mark on a UTF-8 setting, and every
// file of the chosen encoding, is a view of `bytes`; any other is decoded into `scratch`.
FileText readFileText(std::string_view bytes, const TextReading& reading, std::string& scratch);

// The same for a file read whole into `buffer`: a decoded text then takes the place of the
// bytes, and the result's text is a view of the buffer either way.
FileText decodeInBuffer(platform::FileBuffer& buffer, const TextReading& reading, std::string& scratch);

// Why a file whose text is not modifiable() is left unmodified, as a row's failure says it.
std::string unmodifiableReason(const FileText& text, platform::CodePageId textEncoding);

// The encoding a row and vsr-search name beside a file: empty for a file of the chosen encoding.
inline std::string_view encodingNote(const FileText& text) {
    return text.kind == TextKind::Encoded ? fileEncodingName(text.fileEncoding) : "";
}

}  // namespace vsr::engine
