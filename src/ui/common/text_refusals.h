#pragma once
#include <string>

namespace vsr::ui {

// Typed texts the chosen text encoding cannot hold, as the message naming the first such
// character; empty when every character fits.
struct TextRefusals {
    std::string query;        // the query of the tab and type in use
    std::string replacement;  // the replacement, where the modification type inserts one
};

}  // namespace vsr::ui
