#include "engine/search/line_chunks.h"

#include <cstring>
#include <string.h>

namespace vsr::engine {

void LineChunks::begin(Take take) {
    take_ = std::move(take);
    held_ = 0;
    ended_ = false;
    refused_ = false;
    overlong_ = false;
}

std::span<char> LineChunks::room() {
    if (!buf_) buf_ = std::make_unique_for_overwrite<char[]>(room_);
    return {buf_.get() + held_, room_ - held_};
}

bool LineChunks::arrived(std::size_t n) {
    if (ended_) return false;
    char* const fresh = buf_.get() + held_;
    if (const void* nul = std::memchr(fresh, 0, n)) {
        // The text ends at its first NUL byte: what came before it is all there is.
        held_ += static_cast<std::size_t>(static_cast<const char*>(nul) - fresh);
        end();
        return false;
    }
    held_ += n;
    if (held_ < room_ / 2) return true;
    const std::size_t lines = wholeLines();
    if (lines == 0) {
        if (held_ < room_) return true;
        overlong_ = true;
        ended_ = true;
        return false;
    }
    if (!take_({buf_.get(), lines})) {
        refused_ = ended_ = true;
        return false;
    }
    std::memmove(buf_.get(), buf_.get() + lines, held_ - lines);
    held_ -= lines;
    return true;
}

std::size_t LineChunks::wholeLines() const {
    const char* const b = buf_.get();
    const void* lf = memrchr(b, '\n', held_);
    std::size_t cut = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - b) + 1 : 0;
    // A CR alone ends a line too; one in the last byte held may be the first half of a CR LF.
    if (held_ > cut + 1)
        if (const void* cr = memrchr(b + cut, '\r', held_ - 1 - cut))
            cut = static_cast<std::size_t>(static_cast<const char*>(cr) - b) + 1;
    return cut;
}

bool LineChunks::end() {
    if (!ended_) {
        ended_ = true;
        if (held_ > 0 && !take_({buf_.get(), held_})) refused_ = true;
        held_ = 0;
    }
    return !refused_ && !overlong_;
}

}  // namespace vsr::engine
