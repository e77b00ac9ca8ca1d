#pragma once
#include <string>
#include <string_view>

#include "platform/attribute_changer.h"

namespace vsr::reports {

// The names of the two pages kept in the data folder.
inline constexpr const char* kReportFileName = "Report.htm";
inline constexpr const char* kBrowseFileName = "Browse.htm";

// `folder` + "/" + `name`, without a doubled "/".
std::string dataFile(const std::string& folder, const char* name);

// Writes a document the program made: an existing file gets its write permission back first
// (a read-only report is overwritten on purpose), then the bytes replace it whole. False when
// it could not be written; the file is then as it was.
bool writeDocument(const std::string& path, std::string_view text, platform::AttributeChanger& attributes);

// "Cannot open file " + path
std::string cannotOpenText(const std::string& path);

}  // namespace vsr::reports
