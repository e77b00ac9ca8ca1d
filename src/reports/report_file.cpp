#include "reports/report_file.h"

#include "durable/safe_writer.h"

namespace vsr::reports {

std::string dataFile(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool writeDocument(const std::string& path, std::string_view text, platform::AttributeChanger& attributes) {
    if (attributes.read(path)) attributes.makeWritable(path);
    return durable::writeFileAtomically(path, text);
}

std::string cannotOpenText(const std::string& path) { return "Cannot open file " + path; }

}  // namespace vsr::reports
