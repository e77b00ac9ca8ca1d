#pragma once
#include <string>
#include <string_view>

namespace vsr::platform {

// A path in the form URLs and the trash's info entries want: every byte but letters, digits and
// "-._~/" as %XX, so blanks, "%", line breaks and bytes that are not UTF-8 all survive.
std::string percentEscaped(std::string_view path);
// The reverse; a "%" without two hex digits after it stays as it is.
std::string percentUnescaped(std::string_view escaped);
// "file://" and the escaped absolute path.
std::string fileUri(std::string_view absolutePath);

}  // namespace vsr::platform
