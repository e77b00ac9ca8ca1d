#pragma once
#include <string>
#include <vector>

#include "platform/default_editor.h"

namespace vsr::platform {

// The first graphical text editor found on PATH from a short list; else xdg-open,
// which hands the file to whatever the desktop associates with text.
class PathDefaultEditor final : public DefaultEditor {
public:
    PathDefaultEditor();
    // Searches these folders instead of PATH.
    explicit PathDefaultEditor(std::vector<std::string> searchFolders);
    std::string program() const override;

    static const std::vector<std::string>& candidates();

private:
    std::vector<std::string> folders_;
    bool usePath_ = true;
};

}  // namespace vsr::platform
