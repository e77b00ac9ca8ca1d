#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace vsr::test {

// A fresh folder under the test run's private temporary root, removed again
// when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

    // Writes bytes to a file below the folder, creating folders on the way.
    std::filesystem::path write(std::string_view relative, std::string_view bytes) const;
    std::filesystem::path mkdir(std::string_view relative) const;

private:
    std::filesystem::path path_;
};

// Whole file as bytes; empty when it can't be read.
std::string readFile(const std::filesystem::path& file);

// The private root that HOME and the XDG folders point into for this run.
const std::filesystem::path& testRoot();

}  // namespace vsr::test
