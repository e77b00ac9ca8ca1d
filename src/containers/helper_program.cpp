#include "containers/helper_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace vsr::containers {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string runningProgram() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 && static_cast<std::size_t>(n) < sizeof buffer ? std::string(buffer, static_cast<std::size_t>(n))
                                                                 : std::string();
}

}  // namespace

std::string helperProgram(std::string_view name) {
    // An installed program lies in the prefix's bin/; one built here one or two folders below the
    // build folder (tests/, fuzz/, src/app/, tools/vsr-search/). Its own folder and the two above.
    std::string folder = runningProgram();
    for (int up = 1; up <= 3; ++up) {
        const std::size_t slash = folder.rfind('/');
        if (slash == std::string::npos || slash == 0) break;
        folder.resize(slash);
        std::string candidate = folder + "/" VSR_HELPER_DIR "/";
        candidate += name;
        if (isExecutableFile(candidate)) return candidate;
    }
    return {};
}

}  // namespace vsr::containers
