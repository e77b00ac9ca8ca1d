#include "engine/query/term_stream.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace vsr::engine {
namespace {

// How far the character and word tests look around an occurrence: a UTF-8 character is at
// most four bytes; the rest is room to spare.
constexpr std::size_t kTestReach = 8;
// The stretch of text whose hits are gathered at once, so a piece of one repeated letter does
// not make a long list of them.
constexpr std::size_t kStretch = 64u << 10;

std::size_t longestOccurrence(const CompiledQuery& q) {
    std::size_t longest = 0;
    for (std::size_t t = 0; t < q.scanners().size(); ++t)
        if (q.usableTerm(t)) longest = std::max(longest, q.scanners()[t].longestOccurrence());
    return longest;
}

}  // namespace

bool TermStream::suits(const CompiledQuery& query, std::size_t pieceBytes) {
    return query.kind() == CompiledQuery::Kind::Terms &&
           longestOccurrence(query) + 2 * kTestReach <= pieceBytes / 4;
}

TermStream::TermStream(const CompiledQuery& query, std::size_t pieceBytes)
    : q_(query), piece_(pieceBytes), ahead_(longestOccurrence(query) + kTestReach), behind_(kTestReach) {}

void TermStream::begin(std::vector<std::int64_t>& counts, bool untilExcluded, platform::FileBuffer& keep,
                       std::vector<Occurrence>* found) {
    begin(counts, untilExcluded);
    keep_ = &keep;
    keep.setSize(0);
    if (found) found->clear();
    found_ = q_.notesOccurrences() ? found : nullptr;
}

void TermStream::begin(std::vector<std::int64_t>& counts, bool untilExcluded) {
    keep_ = nullptr;
    found_ = nullptr;
    cut_ = false;
    kept_ = 0;
    counts.assign(q_.countSlots(), 0);
    counts_ = &counts;
    untilExcluded_ = untilExcluded;
    settled_ = false;
    held_ = 0;
    base_ = 0;
    done_ = 0;
    setNext_.resize(q_.termSets().size());
    for (std::size_t s = 0; s < setNext_.size(); ++s) setNext_[s].assign(q_.termSets()[s].terms().size(), 0);
    loneNext_.assign(q_.loneTerms().size(), 0);
}

std::span<char> TermStream::room() {
    if (!keep_) {
        if (!buf_) {
            capacity_ = piece_ + ahead_ + behind_;
            buf_ = std::make_unique_for_overwrite<char[]>(capacity_);
        }
        return {buf_.get() + held_, capacity_ - held_};
    }
    // A piece at a time, behind what came before: each piece is counted while it is still in
    // the cache, and the text stays whole. The buffer keeps one byte for its terminating NUL.
    keep_->reserve(kept_ + piece_);
    return {keep_->data() + kept_, piece_};
}

void TermStream::expect(std::uint64_t size) {
    // Room for the whole file and the read that finds its end, so the text is not moved as it grows.
    if (keep_ && size <= platform::kMaxReadableFileSize) keep_->reserve(static_cast<std::size_t>(size) + piece_);
}

bool TermStream::arrived(std::size_t n) {
    if (keep_) return kept(n);
    if (settled_) return false;
    char* const fresh = buf_.get() + held_;
    // The text ends at its first NUL byte: nothing after it is read or counted.
    if (const void* nul = std::memchr(fresh, 0, n)) {
        held_ += static_cast<std::size_t>(static_cast<const char*>(nul) - fresh);
        end();
        return false;
    }
    held_ += n;
    // Matched once the room left would make a short read; a text shorter than a piece waits
    // for end() and is matched once.
    if (capacity_ - held_ < piece_ / 2) advance(false);
    return !settled_;
}

bool TermStream::kept(std::size_t n) {
    char* const fresh = keep_->data() + kept_;
    kept_ += n;
    keep_->setSize(kept_);
    // Past the NUL byte the text is kept whole for its reader, but no longer counted.
    if (settled_) return !cut_;
    if (const void* nul = std::memchr(fresh, 0, n)) {
        held_ += static_cast<std::size_t>(static_cast<const char*>(nul) - fresh);
        advance(true);
        cut_ = settled_;  // an Excluded term: the rest is not wanted
        settled_ = true;
        return !cut_;
    }
    held_ = kept_;
    // Matched once half a piece waits; a text shorter than that waits for end() and is matched once.
    if (held_ - done_ >= piece_ / 2) advance(false);
    cut_ = settled_;
    return !settled_;
}

void TermStream::end() {
    if (!settled_) advance(true);
    settled_ = true;
}

void TermStream::release() {
    buf_.reset();
    capacity_ = held_ = 0;
    std::vector<TermHit>().swap(hits_);
}

void TermStream::advance(bool last) {
    const std::size_t from = static_cast<std::size_t>(done_ - base_);
    // An occurrence starting before `limit` ends, with the tests after it, inside the bytes held.
    const std::size_t limit = last ? held_ : held_ > ahead_ ? held_ - ahead_ : 0;
    if (limit > from) {
        scan(from, limit);
        done_ = base_ + limit;
    }
    if (settled_ || last || keep_) return;
    // Keeps the bytes not matched yet and the few before them that the tests look back at.
    const std::size_t start = static_cast<std::size_t>(done_ - base_);
    const std::size_t drop = start > behind_ ? start - behind_ : 0;
    if (drop == 0) return;
    std::memmove(buf_.get(), buf_.get() + drop, held_ - drop);
    base_ += drop;
    held_ -= drop;
}

void TermStream::count(std::size_t term) {
    ++(*counts_)[term];
    if (untilExcluded_ && q_.terms().terms[term].sign == TermSign::Excluded) settled_ = true;
}

void TermStream::scan(std::size_t from, std::size_t limit) {
    const std::string_view text(data(), held_);
    auto held = [this](std::uint64_t at) { return at > base_ ? static_cast<std::size_t>(at - base_) : 0; };
    const std::vector<TermSetScanner>& sets = q_.termSets();
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const TermSetScanner& set = sets[s];
        next_.resize(set.terms().size());
        for (std::size_t i = 0; i < next_.size(); ++i) next_[i] = held(setNext_[s][i]);
        for (std::size_t at = from; at < limit; at += kStretch) {
            hits_.clear();
            set.scan(text, at, std::min(limit, at + kStretch), next_, hits_);
            for (const TermHit& h : hits_) {
                count(set.terms()[h.term]);
                if (settled_) return;
            }
        }
        for (std::size_t i = 0; i < next_.size(); ++i) setNext_[s][i] = base_ + next_[i];
    }
    const std::vector<std::size_t>& lone = q_.loneTerms();
    for (std::size_t k = 0; k < lone.size(); ++k) {
        const TermScanner& scanner = q_.scanners()[lone[k]];
        std::size_t pos = std::max(from, held(loneNext_[k]));
        while (pos < limit) {
            std::size_t end = 0;
            const std::size_t p = scanner.next(text, pos, limit, &end);
            if (p == std::string_view::npos) break;
            loneNext_[k] = base_ + end;
            if (found_) found_->push_back({static_cast<std::size_t>(base_ + p), static_cast<std::size_t>(base_ + end)});
            count(lone[k]);
            if (settled_) return;
            pos = end;
        }
    }
}

}  // namespace vsr::engine
