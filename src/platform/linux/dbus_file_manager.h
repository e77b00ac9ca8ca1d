#pragma once
#include "platform/file_manager.h"
#include "platform/launcher.h"

namespace vsr::platform {

// Asks the session's file manager over D-Bus (org.freedesktop.FileManager1.ShowItems)
// to show the file selected; without one, the folder is opened through the launcher.
class DbusFileManager final : public FileManager {
public:
    explicit DbusFileManager(Launcher& fallback) : fallback_(fallback) {}
    bool showItem(const std::string& path) override;

private:
    Launcher& fallback_;
};

}  // namespace vsr::platform
