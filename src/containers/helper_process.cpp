#include "containers/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace vsr::containers {

namespace {

// How often a helper that writes nothing is asked after the stop flag: Stop takes at most this.
constexpr int kStopPollMs = 20;
constexpr std::size_t kReadChunk = 64 * 1024;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// The child until it is reaped: whatever way this call is left, it is killed and waited for.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) kill();
    }
    void kill() {
        ::kill(pid_, SIGKILL);
        wait();
    }
    void wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    pid_t pid() const { return pid_; }
    // True once it has ended, with its wait status.
    bool reaped(int& status) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) pid_ = -1;
        // Reaped by someone else: how it ended is lost, which is no success.
        if (done < 0 && errno == ECHILD) {
            pid_ = -1;
            status = W_EXITCODE(255, 0);
            return true;
        }
        return pid_ < 0;
    }

private:
    pid_t pid_;
};

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

void limit(pid_t pid, __rlimit_resource resource, rlim_t soft, rlim_t hard) {
    const rlimit l{soft, hard};
    ::prlimit(pid, resource, &l, nullptr);
}

}  // namespace

HelperResult runHelper(const HelperLaunch& launch, const std::atomic<bool>& stop, std::string& output) {
    HelperResult result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        return result;
    }
    Descriptor readEnd(fds[0]);
    Descriptor writeEnd(fds[1]);

    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, launch.input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
    // Signals as a fresh program has them, whatever this one ignores or blocks.
    sigset_t none, reset;
    sigemptyset(&none);
    sigemptyset(&reset);
    for (int s : {SIGPIPE, SIGXCPU, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) sigaddset(&reset, s);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &reset);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(launch.program.c_str()));
    for (const std::string& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, launch.program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
    if (spawned != 0) {
        result.error = std::strerror(spawned);
        return result;
    }
    Child child(pid);
    writeEnd.reset();
    // Set before it has read its input: the loader alone runs before them.
    // Past the soft processor limit it gets SIGXCPU, a second later SIGKILL.
    limit(pid, RLIMIT_CPU, launch.cpuSeconds, launch.cpuSeconds + 1);
    if (launch.memoryBytes > 0) limit(pid, RLIMIT_AS, launch.memoryBytes, launch.memoryBytes);
    limit(pid, RLIMIT_CORE, 0, 0);

    const std::size_t start = output.size();
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            child.kill();
            result.end = HelperEnd::Stopped;
            return result;
        }
        pollfd p{readEnd.get(), POLLIN, 0};
        const int ready = ::poll(&p, 1, kStopPollMs);
        if (ready < 0 && errno != EINTR) {
            result.error = std::strerror(errno);
            return result;
        }
        if (ready <= 0) continue;
        const std::size_t old = output.size();
        output.resize(old + kReadChunk);
        const ssize_t n = ::read(readEnd.get(), output.data() + old, kReadChunk);
        output.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (output.size() - start > launch.outputLimit) {
            child.kill();
            output.resize(start + launch.outputLimit);
            result.end = HelperEnd::OverLimit;
            return result;
        }
    }
    // Its output has ended, and so, nearly always, has it; one that lingers is still stoppable.
    // Its end is waited for on a descriptor of the process where the kernel has them.
    const Descriptor exitWatch(static_cast<int>(::syscall(SYS_pidfd_open, child.pid(), 0)));
    for (int status = 0;;) {
        if (child.reaped(status)) {
            if (WIFSIGNALED(status)) {
                result.end = HelperEnd::Signalled;
                result.code = WTERMSIG(status);
            } else {
                result.end = HelperEnd::Exited;
                result.code = WEXITSTATUS(status);
            }
            return result;
        }
        if (stop.load(std::memory_order_relaxed)) {
            child.kill();
            result.end = HelperEnd::Stopped;
            return result;
        }
        pollfd ended{exitWatch.get(), POLLIN, 0};
        ::poll(exitWatch.get() >= 0 ? &ended : nullptr, exitWatch.get() >= 0 ? 1 : 0, exitWatch.get() >= 0 ? kStopPollMs : 1);
    }
}

}  // namespace vsr::containers
