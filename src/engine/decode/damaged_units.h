#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// A damaged unit of a file in UTF-16 or UTF-32 (an unpaired surrogate, a value past U+10FFFF,
// the odd byte or cut unit at the end) is kept in the decoded UTF-8 text as a run of bytes that
// no well-formed UTF-8 holds: a lead byte 0xF8 to 0xFB that says how many of the file's bytes
// the unit had (1 to 4), then two bytes 0x80 + a half byte for each of them, high half first.
// No typed query holds such bytes, so a damaged unit is never found as a character; writing the
// text back turns each run into the unit's bytes again, so a file is written back with its
// damage as it was wherever the edit did not touch it.
namespace vsr::engine::damaged {

inline constexpr unsigned char kFirstLead = 0xF8;
inline constexpr unsigned char kLastLead = 0xFB;
inline constexpr std::size_t kMaxBytes = 4;

inline bool isLead(unsigned char b) { return b >= kFirstLead && b <= kLastLead; }

// Appends the run of the unit `bytes[0..n)` (1 <= n <= 4).
void append(std::string& out, const unsigned char* bytes, std::size_t n);

// The run at `p` (n bytes available, p[0] a lead byte): its length in the text, with the unit's
// bytes in `unit` and their count in `count`; 0 when the run is cut short or altered.
std::size_t take(const unsigned char* p, std::size_t n, unsigned char* unit, std::size_t& count);

// `text` with each run shown as U+FFFD, as the search shows a damaged unit: for the preview
// and a diff, which show the text rather than write it.
std::string shown(std::string_view text);

}  // namespace vsr::engine::damaged
