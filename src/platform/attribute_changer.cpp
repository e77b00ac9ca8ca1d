#include "platform/attribute_changer.h"

#include <sys/stat.h>

namespace vsr::platform {

namespace {

FileAttributes lettersOf(const std::string& path, mode_t mode) {
    FileAttributes a;
    a.readOnly = (mode & S_IWUSR) == 0;
    const std::string name = fileNamePart(path);
    a.hidden = !name.empty() && name[0] == '.';
    return a;
}

}  // namespace

std::optional<FileAttributes> PosixAttributeChanger::read(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return lettersOf(path, st.st_mode);
}

std::optional<SavedAttributes> PosixAttributeChanger::makeWritable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    SavedAttributes saved{lettersOf(path, st.st_mode), static_cast<unsigned>(st.st_mode & 07777)};
    if ((st.st_mode & S_IWUSR) == 0 && ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return std::nullopt;
    return saved;
}

bool PosixAttributeChanger::restore(const std::string& path, const SavedAttributes& saved) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if ((st.st_mode & 07777) == saved.mode) return true;
    return ::chmod(path.c_str(), static_cast<mode_t>(saved.mode)) == 0;
}

std::optional<FileAttributes> FakeAttributeChanger::read(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

std::optional<SavedAttributes> FakeAttributeChanger::makeWritable(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end() || refuse) return std::nullopt;
    SavedAttributes saved{it->second, it->second.readOnly ? 0444u : 0644u};
    it->second.readOnly = false;
    return saved;
}

bool FakeAttributeChanger::restore(const std::string& path, const SavedAttributes& saved) {
    auto it = files.find(path);
    if (it == files.end()) return false;
    it->second.readOnly = saved.attributes.readOnly;
    return true;
}

}  // namespace vsr::platform
