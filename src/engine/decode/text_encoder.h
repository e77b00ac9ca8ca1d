#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/decode/file_encoding.h"

namespace vsr::engine {

// Text of the chosen encoding written back in a file's own encoding, byte order mark first; the
// runs that stand for damaged units in UTF-8 text become the units' bytes again.
struct EncodedFile {
    std::string bytes;
    // The first character the file's encoding cannot hold (or, in UTF-8 text, the byte that
    // is no part of a character, as 0x110000 + the byte): the bytes are then incomplete and
    // must not be written.
    std::optional<char32_t> refused;
    // The bytes of a damaged unit (see damaged_units.h) would end out of step with the units
    // after them, as when a text is put after the odd byte that ended a UTF-16 file: `refused`
    // is then the character they would cut.
    bool misaligned = false;
};

EncodedFile encodeFileText(FileEncoding to, platform::CodePageId from, std::string_view text);

// Why a file could not be written in its encoding, as a row's failure says it: "its encoding,
// Windows-1251, cannot hold the character "€" (U+20AC)".
std::string unwritableReason(FileEncoding encoding, char32_t refused);
// The same for what encodeFileText refused.
std::string unwritableReason(FileEncoding encoding, const EncodedFile& written);

}  // namespace vsr::engine
