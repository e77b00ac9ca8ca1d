#include "regexpr/lazy_dfa.h"

#include <algorithm>
#include <map>

namespace vsr::regexpr {

namespace {
constexpr std::size_t kMaxCachedStates = 4096;
constexpr std::size_t kMaxTableBytes = std::size_t(8) << 20;
constexpr std::size_t kMaxKeyBytes = std::size_t(16) << 20;
constexpr std::size_t kPollBytes = 1 << 16;
}  // namespace

LazyDfa::LazyDfa(const Nfa& nfa, const CharTables& tables, Direction direction)
    : nfa_(nfa), tables_(tables), direction_(direction) {
    if (direction == Direction::Forward) {
        edges_ = nfa.out;
        entry_ = nfa.start;
        accept_ = nfa.match;
    } else {
        edges_.assign(nfa.size(), {});
        for (std::uint32_t from = 0; from < nfa.size(); ++from)
            for (Nfa::Edge e : nfa.out[from]) {
                const std::uint32_t to = e.to;
                e.to = from;
                edges_[to].push_back(e);
            }
        entry_ = nfa.match;
        accept_ = nfa.start;
    }
    // Bytes that no set and no line rule tells apart share a column.
    std::vector<std::vector<bool>> signature(256);
    auto addSplit = [&](auto inSet) {
        for (int c = 0; c < 256; ++c) signature[static_cast<std::size_t>(c)].push_back(inSet(c));
    };
    for (const auto& set : nfa.sets) addSplit([&](int c) { return set[static_cast<std::size_t>(c)]; });
    if (nfa.hasTests)
        for (int bit : {1, 2, 4}) addSplit([&](int c) { return (contextOf(c) & bit) != 0; });
    std::map<std::vector<bool>, int> columns;
    for (int c = 0; c < 256; ++c) {
        auto [it, added] = columns.emplace(signature[static_cast<std::size_t>(c)], static_cast<int>(columns.size()));
        if (added) representative_.push_back(c);
        column_[c] = static_cast<std::uint8_t>(it->second);
    }
    stride_ = representative_.size() + 1;
    contextByte_.fill(-1);
    for (int c = 255; c >= 0; --c) contextByte_[static_cast<std::size_t>(contextOf(c))] = c;
    contextByte_[static_cast<std::size_t>(contextOf(kTextEdge))] = kTextEdge;
    mark_.assign(nfa.size(), 0);
    kernelMark_.assign(nfa.size(), 0);
    initial_.fill(-1);
}

// What the line rules can see of a byte: a separator, the first or second of the pair.
int LazyDfa::contextOf(int byte) const {
    if (!nfa_.hasTests) return 0;
    if (byte == kTextEdge) return kEdgeContext;
    const auto b = static_cast<std::size_t>(byte);
    return (tables_.lineSep[b] ? 1 : 0) | (byte == tables_.paired0 ? 2 : 0) | (byte == tables_.paired1 ? 4 : 0);
}

std::int32_t LazyDfa::intern(std::vector<std::uint32_t>&& key) {
    std::string bytes(reinterpret_cast<const char*>(key.data()), key.size() * sizeof(std::uint32_t));
    auto it = ids_.find(bytes);
    if (it != ids_.end()) return it->second;
    // A key holds at most every thread once, each with the count of its start, and is kept twice
    // (as the state and in the index): so few states of a large expression fill the cache.
    const std::size_t keyBound = 2 * (2 + 2 * nfa_.size()) * sizeof(std::uint32_t);
    const std::size_t maxStates = std::max<std::size_t>(8, std::min(kMaxCachedStates, kMaxKeyBytes / keyBound));
    if (keys_.size() >= maxStates || table_.size() * sizeof(std::int32_t) >= kMaxTableBytes) {
        keys_.clear();
        ids_.clear();
        table_.clear();
        initial_.fill(-1);
        ++flushes_;
        ++flushesThisScan_;
    }
    const auto id = static_cast<std::int32_t>(keys_.size());
    keys_.push_back(std::move(key));
    ids_.emplace(std::move(bytes), id);
    table_.resize(table_.size() + stride_, -1);
    return id;
}

std::int32_t LazyDfa::initial(int before) {
    const auto context = static_cast<std::size_t>(contextOf(before));
    if (initial_[context] < 0) initial_[context] = intern({static_cast<std::uint32_t>(context), 0, 1, entry_});
    return initial_[context];
}

// The states reachable from `kernel` without taking a byte, where the byte before the position
// is `before` and the one after it `after`; states an earlier call since the last reset of the
// marks reached are left out.
void LazyDfa::closure(const std::vector<std::uint32_t>& kernel, int before, int after, std::vector<std::uint32_t>& out) {
    std::vector<std::uint32_t> work(kernel.rbegin(), kernel.rend());
    while (!work.empty()) {
        const std::uint32_t s = work.back();
        work.pop_back();
        if (mark_[s] == generation_) continue;
        mark_[s] = generation_;
        out.push_back(s);
        for (const Nfa::Edge& e : edges_[s]) {
            if (e.kind == Nfa::Kind::Empty || (e.kind == Nfa::Kind::Test && assertionHolds(e.test, before, after, tables_)))
                work.push_back(e.to);
        }
    }
}

std::int32_t LazyDfa::step(std::int32_t state, int column) {
    // The state's key: context, whether a later start has matched, then each start's threads.
    const std::vector<std::uint32_t> key = keys_[static_cast<std::size_t>(state)];
    const bool edge = column == static_cast<int>(stride_) - 1;
    const int next = edge ? kTextEdge : representative_[static_cast<std::size_t>(column)];
    const int last = contextByte_[key[0]];
    const int before = direction_ == Direction::Forward ? last : next;
    const int after = direction_ == Direction::Forward ? next : last;

    if (++generation_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        generation_ = 1;
    }
    if (++kernelGeneration_ == 0) {
        std::fill(kernelMark_.begin(), kernelMark_.end(), 0);
        kernelGeneration_ = 1;
    }
    bool tail = key[1] != 0, matched = false;
    std::vector<std::uint32_t> out{static_cast<std::uint32_t>(contextOf(next)), 0};
    std::vector<std::uint32_t> kernel, reached, moved;
    std::size_t groups = 0;
    for (std::size_t at = 2; at < key.size();) {
        const std::size_t n = key[at];
        kernel.assign(key.begin() + static_cast<std::ptrdiff_t>(at + 1), key.begin() + static_cast<std::ptrdiff_t>(at + 1 + n));
        at += 1 + n;
        reached.clear();
        closure(kernel, before, after, reached);
        const bool accepts = std::find(reached.begin(), reached.end(), accept_) != reached.end();
        if (accepts) {
            matched = true;
            // Forward, this start has a match: it and every later start are settled.
            if (direction_ == Direction::Forward) {
                tail = true;
                break;
            }
        }
        if (edge) continue;
        moved.clear();
        for (std::uint32_t s : reached)
            for (const Nfa::Edge& e : edges_[s])
                if (e.kind == Nfa::Kind::Byte && nfa_.sets[e.set][static_cast<std::size_t>(next)] &&
                    kernelMark_[e.to] != kernelGeneration_) {
                    kernelMark_[e.to] = kernelGeneration_;
                    moved.push_back(e.to);
                }
        if (moved.empty()) continue;
        std::sort(moved.begin(), moved.end());
        out.push_back(static_cast<std::uint32_t>(moved.size()));
        out.insert(out.end(), moved.begin(), moved.end());
        ++groups;
    }
    bool fresh = false;
    if (direction_ == Direction::Forward && !tail && !edge && kernelMark_[entry_] != kernelGeneration_) {
        out.push_back(1);
        out.push_back(entry_);
        fresh = groups == 0;
    }
    out[1] = tail ? 1 : 0;
    std::int32_t flags = matched ? kMatch : 0;
    if (out.size() == 2) flags |= kStop;
    if (fresh) flags |= kFresh;
    if (edge) return flags | state;  // the text ends here: no state follows
    const std::int32_t id = intern(std::move(out));
    // A flush took the old state with it; the new one is still worth its entry.
    if (static_cast<std::size_t>(state) < keys_.size() && keys_[static_cast<std::size_t>(state)] == key)
        table_[static_cast<std::size_t>(state) * stride_ + static_cast<std::size_t>(column)] = flags | id;
    return flags | id;
}

LazyDfa::Result LazyDfa::forward(const std::uint8_t* s, std::size_t len, std::size_t from, std::size_t restartAfter,
                                 const Poll& poll) {
    flushesThisScan_ = 0;
    return run(s, len, from, initial(from > 0 ? s[from - 1] : kTextEdge), restartAfter, poll);
}

LazyDfa::Result LazyDfa::forwardPastLiteral(const std::uint8_t* s, std::size_t len, std::size_t from,
                                            const std::string& literal, std::size_t restartAfter, const Poll& poll) {
    flushesThisScan_ = 0;
    if (nfa_.hasTests || literal.empty() || len - from < literal.size()) return forward(s, len, from, restartAfter, poll);
    if (literalFlushes_ != flushes_) {
        // Read the literal once from the start state; a flush on the way leaves nothing kept.
        const std::size_t before = flushes_;
        std::int32_t state = initial(kTextEdge);
        bool flagged = false;
        for (char c : literal) {
            const std::int32_t t = transition(state, column_[static_cast<std::uint8_t>(c)]);
            flagged = flagged || (t & (kMatch | kStop | kFresh)) != 0;
            state = t & kIdMask;
        }
        literalState_ = flagged || flushes_ != before ? -1 : state;
        literalFlushes_ = flushes_;
    }
    if (literalState_ < 0) return forward(s, len, from, restartAfter, poll);
    return run(s, len, from + literal.size(), literalState_, restartAfter, poll);
}

LazyDfa::Result LazyDfa::run(const std::uint8_t* s, std::size_t len, std::size_t from, std::int32_t state,
                             std::size_t restartAfter, const Poll& poll) {
    std::size_t last = kNone;
    for (std::size_t chunk = from; chunk < len; chunk += kPollBytes) {
        if (chunk != from) {
            poll();
            if (givingUp(chunk - from)) return {Outcome::GiveUp, 0};
        }
        const std::size_t stop = std::min(len, chunk + kPollBytes);
        for (std::size_t i = chunk; i < stop; ++i) {
            const std::int32_t t = transition(state, column_[s[i]]);
            if (t & (kMatch | kStop | kFresh)) [[unlikely]] {
                if (t & kMatch) last = i;
                if (t & kStop) return {Outcome::Found, last};
                if ((t & kFresh) && i >= restartAfter) return {Outcome::Restart, i + 1};
            }
            state = t & kIdMask;
        }
    }
    if (transition(state, static_cast<int>(stride_) - 1) & kMatch) last = len;
    return last == kNone ? Result{Outcome::None, 0} : Result{Outcome::Found, last};
}

LazyDfa::Result LazyDfa::backward(const std::uint8_t* s, std::size_t len, std::size_t end, std::size_t lowest,
                                  const Poll& poll) {
    flushesThisScan_ = 0;
    std::int32_t state = initial(end < len ? s[end] : kTextEdge);
    std::size_t best = kNone;
    for (std::size_t i = end; i > lowest; --i) {
        if (((end - i) & (kPollBytes - 1)) == kPollBytes - 1) {
            poll();
            if (givingUp(end - i)) return {Outcome::GiveUp, 0};
        }
        const std::int32_t t = transition(state, column_[s[i - 1]]);
        if (t & kMatch) best = i;
        if (t & kStop) return best == kNone ? Result{Outcome::None, 0} : Result{Outcome::Found, best};
        state = t & kIdMask;
    }
    const int column = lowest > 0 ? column_[s[lowest - 1]] : static_cast<int>(stride_) - 1;
    if (transition(state, column) & kMatch) best = lowest;
    return best == kNone ? Result{Outcome::None, 0} : Result{Outcome::Found, best};
}

}  // namespace vsr::regexpr
