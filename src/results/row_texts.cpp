#include "results/row_texts.h"

#include <charconv>

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
    char whole[24];
    char fraction[4];
    char* wholeEnd;
    std::size_t digits;
    if (bytes <= 100) {
        wholeEnd = std::to_chars(whole, whole + sizeof whole, bytes / 1000).ptr;
        const unsigned thousandths = static_cast<unsigned>(bytes % 1000);
        fraction[0] = static_cast<char>('0' + thousandths / 100);
        fraction[1] = static_cast<char>('0' + thousandths / 10 % 10);
        fraction[2] = static_cast<char>('0' + thousandths % 10);
        digits = 3;
    } else {
        const std::uint64_t tenths = bytes / 100 + (bytes % 100 >= 50 ? 1 : 0);
        wholeEnd = std::to_chars(whole, whole + sizeof whole, tenths / 10).ptr;
        fraction[0] = static_cast<char>('0' + tenths % 10);
        digits = 1;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(wholeEnd - whole) + decimalSeparator.size() + digits + 3);
    text.append(whole, wholeEnd);
    text.append(decimalSeparator);
    text.append(fraction, digits);
    text.append(" KB");
    return text;
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
    item.type = typeText(item, services.typeNames);
}

std::string typeText(const ResultItem& item, const platform::TypeNames& names) {
    std::string type = typeText(item.name, names);
    if (item.fileEncoding.empty()) return type;
    return type.empty() ? item.fileEncoding : type + " (" + item.fileEncoding + ")";
}

}  // namespace vsr::results
