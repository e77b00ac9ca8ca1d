#pragma once
#include <string>
#include <vector>

namespace vsr::platform {

// The desktop's file manager.
class FileManager {
public:
    virtual ~FileManager() = default;
    // Shows the file's folder with the file selected; where the file manager can't
    // select, the folder is opened. False when neither worked.
    virtual bool showItem(const std::string& path) = 0;
};

class FakeFileManager : public FileManager {
public:
    bool showItem(const std::string& path) override {
        shown.push_back(path);
        return succeed;
    }
    std::vector<std::string> shown;
    bool succeed = true;
};

}  // namespace vsr::platform
