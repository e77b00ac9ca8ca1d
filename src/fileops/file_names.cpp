#include "fileops/file_names.h"

namespace vsr::fileops {

NameParts splitName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {std::string(name), {}};
    return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

std::string trimBlanks(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace vsr::fileops
