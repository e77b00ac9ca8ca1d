#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// The desktop's type name for a file ("C source code"), or none when it knows no name.
class TypeNames {
public:
    virtual ~TypeNames() = default;
    virtual std::optional<std::string> typeName(std::string_view fileName) const = 0;
    // Name of the small icon for the file in the desktop's icon theme; empty when
    // there is none, and the row then shows no icon.
    virtual std::string iconName(std::string_view fileName) const { return {}; }
};

// No type database: every row uses the extension fallback.
class NoTypeNames final : public TypeNames {
public:
    std::optional<std::string> typeName(std::string_view) const override { return std::nullopt; }
};

// Names by lower-case extension (without the dot), for tests.
class FakeTypeNames final : public TypeNames {
public:
    std::optional<std::string> typeName(std::string_view fileName) const override;
    std::map<std::string, std::string> byExtension;
};

}  // namespace vsr::platform
