#include "diff_output.h"

#include <sys/uio.h>

#include <cerrno>

namespace vsr::tools {

void DiffOutput::take(std::string& diff) {
    if (diff.empty()) return;
    heldBytes_ += diff.size();
    held_.push_back(std::move(diff));
    diff.clear();
    if (heldBytes_ >= kHeldBytes || held_.size() >= kHeldDiffs) flush();
}

bool DiffOutput::flush() {
    if (held_.empty()) return !failed_;
    // What the stream holds goes out first, so the order on the descriptor is the order taken.
    if (!failed_ && std::fflush(out_) != 0) {
        failed_ = true;
        error_ = errno;
    }
    const int fd = fileno(out_);
    iovec pieces[kHeldDiffs];
    std::size_t next = 0;
    while (!failed_ && next < held_.size()) {
        int count = 0;
        for (std::size_t k = next; k < held_.size() && count < static_cast<int>(kHeldDiffs); ++k, ++count)
            pieces[count] = {held_[k].data(), held_[k].size()};
        ssize_t written = ::writev(fd, pieces, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            error_ = errno;
            break;
        }
        // A short write leaves the rest of a diff, and the diffs after it, for the next call.
        for (int k = 0; k < count && written > 0; ++k) {
            std::string& d = held_[next];
            const std::size_t n = static_cast<std::size_t>(written) < d.size() ? static_cast<std::size_t>(written) : d.size();
            if (n < d.size()) {
                d.erase(0, n);
                break;
            }
            written -= static_cast<ssize_t>(n);
            ++next;
        }
    }
    held_.clear();
    heldBytes_ = 0;
    return !failed_;
}

}  // namespace vsr::tools
