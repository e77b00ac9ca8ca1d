#pragma once
#include <string>

namespace vsr::platform {

// Folders the program takes from the system.
class SystemFolders {
public:
    virtual ~SystemFolders() = default;

    // The per-user folder of the settings text files, "Batch.tmp" and the reports,
    // fixed at start-up and created when missing. Without a trailing "/".
    virtual std::string dataFolder() const = 0;

    // The folder that holds the running program (its help pages sit beside it).
    virtual std::string programFolder() const = 0;

    // The user's home folder: the folder a first start searches.
    virtual std::string homeFolder() const = 0;
};

// Fixed folders for tests.
class FakeSystemFolders : public SystemFolders {
public:
    FakeSystemFolders(std::string data, std::string program, std::string home)
        : data_(std::move(data)), program_(std::move(program)), home_(std::move(home)) {}
    std::string dataFolder() const override { return data_; }
    std::string programFolder() const override { return program_; }
    std::string homeFolder() const override { return home_; }

private:
    std::string data_, program_, home_;
};

}  // namespace vsr::platform
