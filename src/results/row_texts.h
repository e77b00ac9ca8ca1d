#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"
#include "results/result_item.h"

namespace vsr::results {

// The Found text: counts in query order joined by ", ", cut after 240 characters with ",...".
std::string foundText(const std::vector<std::int64_t>& counts);
// The complete count list, without the cut (kept for the report).
std::string fullCountText(const std::vector<std::int64_t>& counts);
// "RHSA" letters of the attributes that are set.
std::string attributesText(const platform::FileAttributes& a);
// Size in KB of 1000 bytes: 3 decimals up to 0.1, else 1 decimal, then " KB".
std::string sizeText(std::uint64_t bytes, std::string_view decimalSeparator = ".");
// Short date, one blank, long time.
std::string timeText(platform::FileTime t, const platform::LocaleFormats& formats);
// The desktop's type name, else the extension upper-cased + " File", else empty.
std::string typeText(std::string_view fileName, const platform::TypeNames& names);
// The Type text of a row: the type, then the file's own encoding in parentheses when it has one.
std::string typeText(const ResultItem& item, const platform::TypeNames& names);

// Everything a row needs from the desktop, bundled for the row builders.
struct RowServices {
    const platform::LocaleFormats& formats;
    const platform::TypeNames& typeNames;
};

// Fills the Found column (text and leading count) from the counts in query order.
void fillFoundColumn(ResultItem& item, const std::vector<std::int64_t>& counts);
// Empties Found, Time and Size, texts and values alike (a row whose file no longer matches).
void clearFileColumns(ResultItem& item);
// Fills the columns Attributes, Time, Size and Type of `item` from the file's information.
void fillFileColumns(ResultItem& item, const platform::FileInfo& info, const RowServices& services);

}  // namespace vsr::results
