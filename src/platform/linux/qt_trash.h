#pragma once
#include "platform/trash.h"

namespace vsr::platform {

// The freedesktop trash of the file's volume ("Files", "Info" with the original path).
class QtTrash final : public Trash {
public:
    bool moveToTrash(const std::string& path) override;
};

}  // namespace vsr::platform
