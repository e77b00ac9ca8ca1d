#include "support/deep_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <utility>
#include <vector>

namespace vsr::test {
namespace {

constexpr int kFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

void removeInside(int fd) {
    std::vector<std::pair<std::string, bool>> names;
    DIR* d = ::fdopendir(::dup(fd));
    while (const dirent* e = d ? ::readdir(d) : nullptr)
        if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
            names.emplace_back(e->d_name, e->d_type == DT_DIR);
    if (d) ::closedir(d);
    for (const auto& [name, folder] : names) {
        if (folder) {
            const int sub = ::openat(fd, name.c_str(), kFolder);
            if (sub >= 0) {
                removeInside(sub);
                ::close(sub);
            }
        }
        ::unlinkat(fd, name.c_str(), folder ? AT_REMOVEDIR : 0);
    }
}

}  // namespace

bool makeLongChain(const std::filesystem::path& top, int depth, const std::string& name, const std::string& text) {
    int fd = ::open(top.c_str(), kFolder);
    for (int i = 1; i <= depth && fd >= 0; ++i) {
        const int sub = ::mkdirat(fd, name.c_str(), 0700) == 0 ? ::openat(fd, name.c_str(), kFolder) : -1;
        ::close(fd);
        fd = sub;
        if (fd < 0 || (i % 10 != 0 && i != depth)) continue;
        const std::string file = "at" + std::to_string(i) + ".txt";
        const int out = ::openat(fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool written = out >= 0 && ::write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (out >= 0) ::close(out);
        if (!written) {
            ::close(fd);
            return false;
        }
    }
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

void removeInsideDeep(const std::filesystem::path& top) {
    const int fd = ::open(top.c_str(), kFolder);
    if (fd < 0) return;
    removeInside(fd);
    ::close(fd);
}

}  // namespace vsr::test
