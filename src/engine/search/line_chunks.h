#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "platform/file_system.h"

namespace vsr::engine {

// Hands a text read piece by piece to `take` in runs of whole lines (each run ends just after a
// line end, LF, CR LF or CR alone; the last one at the text's end), so a query matched line by
// line counts a file of any size as it counts the whole text. The text ends at its first NUL
// byte. A line longer than the room (no line end in it) ends the read: overlong() says so.
class LineChunks final : public platform::PieceSink {
public:
    // `take` gets each run; false ends the read (Stop, an expression error).
    using Take = std::function<bool(std::string_view lines)>;
    static constexpr std::size_t kRoomBytes = 8u << 20;

    explicit LineChunks(std::size_t roomBytes = kRoomBytes) : room_(roomBytes) {}

    void begin(Take take);
    std::span<char> room() override;
    bool arrived(std::size_t n) override;
    // The text ended: hands over what is left. False when `take` refused it.
    bool end();
    bool overlong() const { return overlong_; }
    // Frees the room; the next text allocates it again.
    void release() { buf_.reset(); }

private:
    // The bytes held up to the end of their last whole line (0 when no line end is held).
    std::size_t wholeLines() const;

    std::size_t room_;
    std::unique_ptr<char[]> buf_;
    std::size_t held_ = 0;
    bool ended_ = false;  // a NUL byte, a refusal or an overlong line: nothing more is taken
    bool refused_ = false;
    bool overlong_ = false;
    Take take_;
};

}  // namespace vsr::engine
