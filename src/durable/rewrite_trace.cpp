#include "durable/rewrite_trace.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vsr::durable {

namespace {

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 31;
    h *= 0x94d049bb133111ebULL;
    h ^= h >> 29;
    return h;
}

// Not a cryptographic hash: it tells a user's edit from our own pages, eight bytes a step.
std::uint64_t hashOf(std::string_view bytes) {
    std::uint64_t h = mix(bytes.size() * 0x9e3779b97f4a7c15ULL + 0x632be59bd9b4e019ULL);
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes.data() + i, 8);
        h = mix((h ^ w) * 0xbf58476d1ce4e5b9ULL);
    }
    std::uint64_t last = 0;
    std::memcpy(&last, bytes.data() + i, bytes.size() - i);
    return mix((h ^ last) * 0xbf58476d1ce4e5b9ULL);
}

std::vector<std::uint64_t> pagesOf(std::string_view bytes) {
    std::vector<std::uint64_t> pages;
    pages.reserve(bytes.size() / RewriteTrace::kPage + 1);
    for (std::size_t at = 0; at < bytes.size(); at += RewriteTrace::kPage) pages.push_back(hashOf(bytes.substr(at, RewriteTrace::kPage)));
    return pages;
}

bool samePages(std::string_view bytes, const std::vector<std::uint64_t>& pages) {
    if ((bytes.size() + RewriteTrace::kPage - 1) / RewriteTrace::kPage != pages.size()) return false;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (hashOf(bytes.substr(i * RewriteTrace::kPage, RewriteTrace::kPage)) != pages[i]) return false;
    return true;
}

void put(std::string& out, std::uint64_t n) {
    char buf[20];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n, 16);
    out.append(buf, end);
    out += ' ';
}

bool take(std::string_view& in, std::uint64_t& n) {
    const std::size_t space = in.find(' ');
    if (space == std::string_view::npos || space == 0) return false;
    auto [end, ec] = std::from_chars(in.data(), in.data() + space, n, 16);
    if (ec != std::errc() || end != in.data() + space) return false;
    in.remove_prefix(space + 1);
    return true;
}

}  // namespace

RewriteTrace RewriteTrace::of(std::string_view before, std::string_view after) {
    RewriteTrace t;
    t.beforeSize_ = before.size();
    t.afterSize_ = after.size();
    t.beforePages_ = pagesOf(before);
    t.afterPages_ = pagesOf(after);
    if (after.size() < before.size()) {
        const std::size_t pageEnd = (after.size() / kPage + 1) * kPage;
        t.beforeTail_ = hashOf(before.substr(after.size(), pageEnd - after.size()));
    } else if (before.size() % kPage != 0) {
        const std::size_t pageStart = before.size() / kPage * kPage;
        std::string padded(before.substr(pageStart));
        padded.resize(std::min(pageStart + kPage, after.size()) - pageStart, '\0');
        t.beforePadded_ = hashOf(padded);
    }
    return t;
}

RewriteTrace::State RewriteTrace::classify(std::string_view now) const {
    if (now.size() == afterSize_ && samePages(now, afterPages_)) return State::After;
    if (now.size() == beforeSize_ && samePages(now, beforePages_)) return State::Before;
    // Written from the start and cut to the new length at the end, the file is never shorter
    // than the shorter contents nor longer than the longer.
    if (now.size() < std::min(beforeSize_, afterSize_) || now.size() > std::max(beforeSize_, afterSize_))
        return State::Foreign;
    // A write cut short inside a page (a short write, a full disk) leaves one page of both, with
    // only new pages before it and only old ones after it, as a write from the start does.
    bool allNewSoFar = true;
    bool mixedSeen = false;
    for (std::size_t i = 0; i * kPage < now.size(); ++i) {
        const std::string_view page = now.substr(i * kPage, kPage);
        const std::uint64_t h = hashOf(page);
        const bool isNew = i < afterPages_.size() && h == afterPages_[i];
        if (isNew && !mixedSeen) continue;
        if (i < beforePages_.size() && h == beforePages_[i]) {
            allNewSoFar = false;
            continue;
        }
        // Grown with zeros to the new length before the write.
        if (afterSize_ > beforeSize_ && ((i * kPage >= beforeSize_ && page.find_first_not_of('\0') == std::string_view::npos) ||
                                         (i == beforeSize_ / kPage && h == beforePadded_))) {
            allNewSoFar = false;
            continue;
        }
        // The page the new contents end in, before the old bytes after them were cut away.
        const std::size_t split = afterSize_ - i * kPage;
        if (afterSize_ < beforeSize_ && i == afterSize_ / kPage && i < afterPages_.size() && split < page.size() &&
            hashOf(page.substr(0, split)) == afterPages_[i] && hashOf(page.substr(split)) == beforeTail_) {
            allNewSoFar = false;
            continue;
        }
        if (mixedSeen || !allNewSoFar) return State::Foreign;
        mixedSeen = true;
        allNewSoFar = false;
    }
    return State::Between;
}

std::string RewriteTrace::encode() const {
    std::string out;
    out.reserve(18 * (beforePages_.size() + afterPages_.size() + 5));
    put(out, beforeSize_);
    put(out, afterSize_);
    put(out, beforeTail_);
    put(out, beforePadded_);
    for (std::uint64_t h : beforePages_) put(out, h);
    for (std::uint64_t h : afterPages_) put(out, h);
    return out;
}

std::optional<RewriteTrace> RewriteTrace::decode(std::string_view text) {
    RewriteTrace t;
    if (!take(text, t.beforeSize_) || !take(text, t.afterSize_) || !take(text, t.beforeTail_) ||
        !take(text, t.beforePadded_)) return std::nullopt;
    constexpr std::uint64_t kLargest = std::uint64_t{1} << 48;
    if (t.beforeSize_ > kLargest || t.afterSize_ > kLargest) return std::nullopt;
    const std::uint64_t before = (t.beforeSize_ + kPage - 1) / kPage;
    const std::uint64_t after = (t.afterSize_ + kPage - 1) / kPage;
    if (before + after != static_cast<std::uint64_t>(std::count(text.begin(), text.end(), ' '))) return std::nullopt;
    t.beforePages_.resize(before);
    t.afterPages_.resize(after);
    for (std::uint64_t& h : t.beforePages_)
        if (!take(text, h)) return std::nullopt;
    for (std::uint64_t& h : t.afterPages_)
        if (!take(text, h)) return std::nullopt;
    return text.empty() ? std::optional<RewriteTrace>(std::move(t)) : std::nullopt;
}

}  // namespace vsr::durable
