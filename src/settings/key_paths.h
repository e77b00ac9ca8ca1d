#pragma once
#include <string_view>

namespace vsr::settings {

// The history lists live directly in the program's key, every other value in "Options".
inline constexpr std::string_view kProgramKey = "Software\\Vantix Search & Replace";
inline constexpr std::string_view kOptionsKey = "Software\\Vantix Search & Replace\\Options";

}  // namespace vsr::settings
