#include "platform/type_names.h"

namespace vsr::platform {

std::optional<std::string> FakeTypeNames::typeName(std::string_view fileName) const {
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto it = byExtension.find(ext);
    if (it == byExtension.end()) return std::nullopt;
    return it->second;
}

}  // namespace vsr::platform
