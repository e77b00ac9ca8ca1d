#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vsr::fileops {

// Modification time of a file in nanoseconds, or nothing when it is missing.
std::optional<std::int64_t> modificationTime(const std::string& path);

// After a file was handed to another program: notices once that the program saved it.
class FileWatch {
public:
    // Remembers the file's current modification time (when it exists).
    void remember(const std::string& path);
    void arm() { watching_ = true; }
    bool watching() const { return watching_; }
    // True, and the watch ends, when the file exists with a later time than remembered.
    bool changed(const std::string& path);

private:
    bool watching_ = false;
    std::int64_t remembered_ = 0;
};

}  // namespace vsr::fileops
