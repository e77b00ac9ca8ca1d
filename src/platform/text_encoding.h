#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

// Typed text (UTF-16, as the window holds it) into the bytes of a text encoding and back.
// Texts the program keeps as bytes (queries, replacements, memos, batch tables) are in the
// chosen encoding; only the window sees them as characters.
namespace vsr::platform {

// What decoding does with a byte that is not part of a well-formed UTF-8 character.
enum class InvalidBytes {
    // A lone surrogate U+DC00 + byte, which encodeText turns back into the byte: an edited
    // text keeps every byte it was loaded with.
    Escape,
    // The Windows-1252 character of the byte: what a line of a file is most likely to mean.
    Show,
};

// The character a byte stands for on a single-byte page; a byte the page leaves undefined
// stands for the control character of the same number, so every byte has one. Under UTF-8
// only bytes below 0x80 stand alone; others give the Windows-1252 character.
char16_t pageCharacter(CodePageId id, unsigned char byte);

// The characters of `bytes`. `unitAt`, when given, receives the index into the result of the
// character that holds each byte, and the result's length for the end (bytes.size() + 1
// entries), so byte offsets can be moved onto the text.
std::u16string decodeText(CodePageId id, std::string_view bytes, InvalidBytes invalid = InvalidBytes::Escape,
                          std::vector<int>* unitAt = nullptr);

struct EncodedText {
    std::string bytes;
    // The first character the encoding cannot hold; the bytes are then incomplete.
    std::optional<char32_t> refused;
};

// The bytes of `text` in the encoding. An escaped byte (see InvalidBytes::Escape) becomes that
// byte again. With `substitute` set, a character the page cannot hold becomes that byte and
// encoding goes on (still naming the first such character); without it encoding stops there.
EncodedText encodeText(CodePageId id, std::u16string_view text, std::optional<char> substitute = std::nullopt);

// The name the settings dialog shows: "UTF-8", "Windows-1252 (Western European)", ...
const char* textEncodingCaption(CodePageId id);
// Every text encoding in the order the settings dialog lists them.
inline constexpr CodePageId kTextEncodings[] = {CodePageId::Utf8,        CodePageId::Windows1252, CodePageId::Windows1250,
                                               CodePageId::Windows1251, CodePageId::Iso8859_1,   CodePageId::Iso8859_15};

// The message for a typed character the chosen encoding cannot hold.
std::string refusedCharacterMessage(CodePageId id, char32_t character);

}  // namespace vsr::platform
