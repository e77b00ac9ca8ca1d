#include "results/row_texts.h"

#include <cstdio>

namespace vsr::results {

std::string foundText(const std::vector<std::int64_t>& counts) {
    if (counts.empty()) return "0";
    std::string text = std::to_string(counts[0]);
    std::size_t i = 1;
    for (; i < counts.size() && text.size() <= 240; ++i) text += ", " + std::to_string(counts[i]);
    if (i < counts.size()) text += ",...";
    return text;
}

std::string fullCountText(const std::vector<std::int64_t>& counts) {
    std::string text;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (i) text += ", ";
        text += std::to_string(counts[i]);
    }
    return text;
}

std::string attributesText(const platform::FileAttributes& a) {
    std::string s;
    if (a.readOnly) s += 'R';
    if (a.hidden) s += 'H';
    if (a.system) s += 'S';
    if (a.archive) s += 'A';
    return s;
}

std::string sizeText(std::uint64_t bytes, std::string_view decimalSeparator) {
    // Integer arithmetic keeps the rounding exact: bytes / 1000 with 3 decimals is bytes
    // itself; 1 decimal is bytes / 100 rounded half up.
    char buf[64];
    if (bytes <= 100) {
        std::snprintf(buf, sizeof buf, "%llu%s%03llu", static_cast<unsigned long long>(bytes / 1000),
                      std::string(decimalSeparator).c_str(), static_cast<unsigned long long>(bytes % 1000));
    } else {
        unsigned long long tenths = (bytes + 50) / 100;
        std::snprintf(buf, sizeof buf, "%llu%s%llu", tenths / 10, std::string(decimalSeparator).c_str(),
                      tenths % 10);
    }
    return std::string(buf) + " KB";
}

std::string timeText(platform::FileTime t, const platform::LocaleFormats& formats) {
    return formats.shortDate(t) + " " + formats.longTime(t);
}

std::string typeText(std::string_view fileName, const platform::TypeNames& names) {
    if (auto name = names.typeName(fileName); name && !name->empty()) return *name;
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == fileName.size()) return {};
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext + " File";
}

void fillFoundColumn(ResultItem& item, const std::vector<std::int64_t>& counts) {
    item.found = foundText(counts);
    item.firstCount = counts.empty() ? 0 : counts[0];
}

void clearFileColumns(ResultItem& item) {
    item.found.clear();
    item.firstCount = -1;
    item.time.clear();
    item.lastWrite.reset();
    item.size.clear();
    item.bytes.reset();
}

void fillFileColumns(ResultItem& item, const platform::FileInfo& info, const RowServices& services) {
    item.attributes = attributesText(info.attributes);
    item.time = timeText(info.lastWrite, services.formats);
    item.lastWrite = info.lastWrite;
    item.size = sizeText(info.size, services.formats.decimalSeparator());
    item.bytes = info.size;
    item.type = typeText(item.name, services.typeNames);
}

}  // namespace vsr::results
