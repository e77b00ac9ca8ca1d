#pragma once

namespace vsr::ui {

inline constexpr const char* kProgramTitle = "Vantix Search & Replace";
inline constexpr const char* kProgramVersion = "0.1.0";

}  // namespace vsr::ui
