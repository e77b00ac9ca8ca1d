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

    // Starts a program with a parameter text, split into arguments as a shell would
    // (double quotes group blanks), in the given working folder.
    virtual bool startProgram(const std::string& program, const std::string& parameters,
                              const std::string& folder) = 0;
};

class FakeLauncher : public Launcher {
public:
    struct Start {
        std::string program, parameters, folder;
    };
    bool openFile(const std::string& path) override {
        opened.push_back(path);
        return succeed;
    }
    bool startProgram(const std::string& program, const std::string& parameters,
                      const std::string& folder) override {
        started.push_back({program, parameters, folder});
        return succeed;
    }

    std::vector<std::string> opened;
    std::vector<Start> started;
    bool succeed = true;
};

}  // namespace vsr::platform
