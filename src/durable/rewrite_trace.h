#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::durable {

// A fingerprint of an in-place rewrite, kept in its recovery note: a hash of every 4 KB page of
// the contents before and after. At the next start it tells whether the file is still as the
// interrupted write could have left it (each page old or new, but the one it was cut in) or whether someone changed it
// since, whose changes a restore must not overwrite.
class RewriteTrace {
public:
    static constexpr std::size_t kPage = 4096;

    enum class State {
        Before,   // wholly the old contents: the write had not begun
        After,    // wholly the new contents: the write had ended
        Between,  // pages of both (and at most one page of neither, where a write was cut)
        Foreign,  // anything else: changed by someone after the run ended
    };

    static RewriteTrace of(std::string_view before, std::string_view after);
    State classify(std::string_view now) const;

    // One line of hexadecimal numbers, and back; nothing when the text is not one.
    std::string encode() const;
    static std::optional<RewriteTrace> decode(std::string_view text);

private:
    std::uint64_t beforeSize_ = 0;
    std::uint64_t afterSize_ = 0;
    // The old bytes from the end of the new contents to the end of that page: the page a kill
    // between the write and the cut to the new length leaves half new, half old.
    std::uint64_t beforeTail_ = 0;
    // When the new contents are longer, the file is first grown to their length with zeros: the
    // old contents' last page with the zeros after it.
    std::uint64_t beforePadded_ = 0;
    std::vector<std::uint64_t> beforePages_;
    std::vector<std::uint64_t> afterPages_;
};

}  // namespace vsr::durable
