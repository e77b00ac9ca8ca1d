#include "platform/detached_process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vsr::platform {

namespace {

bool runnable(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0;
}

std::string resolved(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        const std::string folder = end > start ? list.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + program;
        if (runnable(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

}  // namespace

bool startDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& folder) {
    const std::string file = resolved(program);
    if (file.empty()) return false;
    // Everything the children need is made before the fork: after it only system calls follow.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t middle = ::fork();
    if (middle < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (middle == 0) {
        // The grandchild is the program; its parent ends at once, so init adopts it.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        int failure = 0;
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) failure = errno;
        else {
            ::execv(file.c_str(), argv.data());
            failure = errno;
        }
        // The exec closed nothing, so the parent hears why.
        (void)!::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int failure = 0;
    ssize_t got;
    while ((got = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    // Nothing read: the exec succeeded and closed the pipe.
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace vsr::platform
