// The tree watch of Linux: one inotify watch per folder, added as folders appear.
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "platform/tree_watch.h"

namespace vsr::platform {
namespace {

constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVED_FROM |
                                  IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

class InotifyTreeWatch final : public TreeWatch {
public:
    static constexpr std::size_t kMostFolders = 20000;

    ~InotifyTreeWatch() override { close(); }

    bool watch(const std::string& root) override {
        close();
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) return false;
        lost_ = false;
        addTree(root);
        if (lost_) close();
        lost_ = false;
        return fd_ >= 0;
    }

    WatchNews take() override {
        WatchNews news;
        if (fd_ < 0) {
            news.overflow = true;
            return news;
        }
        alignas(struct inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
                if (e->mask & IN_Q_OVERFLOW) {
                    news.overflow = true;
                    continue;
                }
                const auto folder = folders_.find(e->wd);
                if (folder == folders_.end()) continue;
                if (e->mask & IN_IGNORED) {
                    folders_.erase(folder);
                    continue;
                }
                if (e->len == 0) {
                    news.changed.push_back(folder->second);
                    continue;
                }
                std::string full = folder->second == "/" ? "/" : folder->second + "/";
                full += e->name;
                // A folder moved away leaves the names its watches know stale: everything is
                // looked at again.
                if ((e->mask & IN_MOVED_FROM) && (e->mask & IN_ISDIR)) news.overflow = true;
                // A folder that appears is watched too, and what it already holds counts as new.
                if ((e->mask & (IN_CREATE | IN_MOVED_TO)) && (e->mask & IN_ISDIR)) addTree(full, &news.changed);
                news.changed.push_back(std::move(full));
            }
        }
        if (lost_) news.overflow = true;
        lost_ = false;
        return news;
    }

private:
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        folders_.clear();
    }

    // Watches `dir` and the folders below it (links to folders are not followed); names what
    // it finds in `found` when given. A folder that can't be watched makes the news lost.
    void addTree(const std::string& dir, std::vector<std::string>* found = nullptr) {
        // A tree this large costs the system too much to watch (and the walk that sets the
        // watches up would hold the window): it is left unwatched.
        if (folders_.size() >= kMostFolders) {
            lost_ = true;
            return;
        }
        const int wd = ::inotify_add_watch(fd_, dir.c_str(), kEvents);
        if (wd < 0) {
            if (errno != ENOENT && errno != ENOTDIR && errno != EACCES) lost_ = true;
            return;
        }
        folders_[wd] = dir;
        DIR* d = ::opendir(dir.c_str());
        if (!d) return;
        std::vector<std::string> subfolders;
        while (const struct dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            std::string full = dir == "/" ? "/" + std::string(e->d_name) : dir + "/" + e->d_name;
            bool folder = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN) {
                struct stat st;
                folder = ::lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            if (found) found->push_back(full);
            if (folder) subfolders.push_back(std::move(full));
        }
        ::closedir(d);
        for (const std::string& sub : subfolders) addTree(sub, found);
    }

    int fd_ = -1;
    bool lost_ = false;
    std::unordered_map<int, std::string> folders_;
};

}  // namespace

std::unique_ptr<TreeWatch> makeSystemTreeWatch() { return std::make_unique<InotifyTreeWatch>(); }

}  // namespace vsr::platform
