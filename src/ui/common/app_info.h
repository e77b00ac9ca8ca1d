#pragma once
#include "engine/query/search_conditions.h"

namespace vsr::ui {

// The title is the engine's, which its message boxes carry too.
using engine::kProgramTitle;
inline constexpr const char* kProgramVersion = "0.1.0";

}  // namespace vsr::ui
