#include "fileops/program_lookup.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace vsr::fileops {

namespace {

bool executableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> findProgram(const std::string& program, const std::string& searchPath) {
    if (program.empty()) return std::nullopt;
    if (program.find('/') != std::string::npos) {
        if (executableFile(program)) return program;
        return std::nullopt;
    }
    std::size_t from = 0;
    while (from <= searchPath.size()) {
        std::size_t colon = searchPath.find(':', from);
        if (colon == std::string::npos) colon = searchPath.size();
        const std::string folder = searchPath.substr(from, colon - from);
        // An empty entry would mean the working folder; a program is never taken from there.
        if (!folder.empty() && folder.front() == '/') {
            const std::string candidate = platform::joinPath(folder, program);
            if (executableFile(candidate)) return candidate;
        }
        from = colon + 1;
    }
    return std::nullopt;
}

std::string programSearchPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

}  // namespace vsr::fileops
