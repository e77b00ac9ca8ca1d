#pragma once
#include <cstddef>

#include "platform/code_page.h"

namespace vsr::engine {

// Upper-cases `n` bytes from `src` into `dst` through the code page's table. Runs of ASCII
// (the bulk of source files) take a vector path; any other byte goes through the table.
void foldUpper(const platform::CodePage& page, const char* src, char* dst, std::size_t n);

}  // namespace vsr::engine
