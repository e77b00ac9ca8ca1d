#pragma once
#include "platform/system_folders.h"

namespace vsr::platform {

// The data folder is $XDG_DATA_HOME (by default ~/.local/share) + "/Vantix Search & Replace",
// decided and created once, when the object is made.
class XdgSystemFolders final : public SystemFolders {
public:
    XdgSystemFolders();
    std::string dataFolder() const override { return data_; }
    std::string programFolder() const override { return program_; }
    std::string homeFolder() const override { return home_; }

private:
    std::string data_, program_, home_;
};

}  // namespace vsr::platform
