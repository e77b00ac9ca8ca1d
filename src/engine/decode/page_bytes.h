#pragma once
#include <optional>

#include "platform/code_page.h"

namespace vsr::engine {

// The byte of `character` on the single-byte page `page`, if the page holds it: the inverse of
// platform::pageCharacter, so every byte read from a page is written back as it was.
std::optional<unsigned char> pageByte(platform::CodePageId page, char32_t character);

}  // namespace vsr::engine
