#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/decode/file_encoding.h"

namespace vsr::engine {

// Text of the chosen encoding written back in a file's own encoding, byte order mark first.
struct EncodedFile {
    std::string bytes;
    // The first character the file's encoding cannot hold (or, in UTF-8 text, the byte that
    // is no part of a character, as 0x110000 + the byte): the bytes are then incomplete and
    // must not be written.
    std::optional<char32_t> refused;
};

EncodedFile encodeFileText(FileEncoding to, platform::CodePageId from, std::string_view text);

// Why a file could not be written in its encoding, as a row's failure says it: "its encoding,
// Windows-1251, cannot hold the character "€" (U+20AC)".
std::string unwritableReason(FileEncoding encoding, char32_t refused);

}  // namespace vsr::engine
