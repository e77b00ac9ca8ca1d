#pragma once
#include <string>

namespace vsr::results {

inline constexpr const char* kResultCaption = "Result";
inline constexpr const char* kResultCaptionWithInterval = "Result    |  Modification Interval";

// The tab that produced a list (None once the list was cleared).
enum class ListTab { None, Find, SearchAndReplace };

// Status panel 0 after a search listed `count` files (the number follows the text).
std::string searchCountText(ListTab tab, long long count);
// Status panel 0 after Delete Items left `count` rows.
std::string remainingCountText(long long count);
// Panel 0 at the start of a run, before any file is listed ("Found Files:   ").
std::string runStartCountText(ListTab tab);

}  // namespace vsr::results
