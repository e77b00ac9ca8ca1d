#include "platform/trash.h"

#include <algorithm>
#include <filesystem>

namespace vsr::platform {

bool FakeTrash::moveToTrash(const std::string& path) {
    sent.push_back(path);
    if (std::find(refuse.begin(), refuse.end(), path) != refuse.end()) return false;
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
}

}  // namespace vsr::platform
