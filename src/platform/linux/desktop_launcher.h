#pragma once
#include "platform/launcher.h"

namespace vsr::platform {

// Documents open through the desktop's associations (xdg-open when no desktop
// session answers); programs start detached, so the search never waits for them.
class DesktopLauncher final : public Launcher {
public:
    bool openFile(const std::string& path) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder) override;
};

}  // namespace vsr::platform
