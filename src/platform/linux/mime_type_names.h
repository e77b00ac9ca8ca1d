#pragma once
#include "platform/type_names.h"

namespace vsr::platform {

// Type names and icons from the shared MIME database, by the file's name only, so no
// file is opened for a row. A name the database doesn't know gives no type name,
// and the row falls back to its extension.
class MimeTypeNames final : public TypeNames {
public:
    std::optional<std::string> typeName(std::string_view fileName) const override;
    std::string iconName(std::string_view fileName) const override;
};

}  // namespace vsr::platform
