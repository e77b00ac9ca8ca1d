#pragma once
#include <string>
#include <vector>

namespace vsr::platform {

// Hands files and programs to the desktop. The program never waits for what it starts.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Opens a document (or folder) with the program the desktop associates with it.
    virtual bool openFile(const std::string& path) = 0;

    // Starts a program with its arguments, each handed over as it is (no shell reads them),
    // in the given working folder.
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& folder) = 0;
};

class FakeLauncher : public Launcher {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        std::string folder;
    };
    bool openFile(const std::string& path) override {
        opened.push_back(path);
        return succeed;
    }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder) override {
        started.push_back({program, arguments, folder});
        return succeed;
    }

    std::vector<std::string> opened;
    std::vector<Start> started;
    bool succeed = true;
};

}  // namespace vsr::platform
