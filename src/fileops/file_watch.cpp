#include "fileops/file_watch.h"

#include <sys/stat.h>

namespace vsr::fileops {

std::optional<std::int64_t> modificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void FileWatch::remember(const std::string& path) {
    if (std::optional<std::int64_t> t = modificationTime(path)) remembered_ = *t;
}

bool FileWatch::changed(const std::string& path) {
    if (!watching_) return false;
    const std::optional<std::int64_t> t = modificationTime(path);
    if (!t || *t <= remembered_) return false;
    watching_ = false;
    remembered_ = *t;
    return true;
}

}  // namespace vsr::fileops
