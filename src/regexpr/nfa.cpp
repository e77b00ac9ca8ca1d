#include "regexpr/nfa.h"

#include <unordered_map>

#include "regexpr/compiler.h"
#include "regexpr/opcodes.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::regexpr {

bool assertionHolds(Assertion a, int before, int after, const CharTables& t) {
    const int p0 = t.paired0, p1 = t.paired1;
    auto sep = [&](int c) { return c != kTextEdge && t.lineSep[static_cast<std::size_t>(c)]; };
    switch (a) {
    case Assertion::InputStart: return before == kTextEdge;
    case Assertion::InputEnd: return after == kTextEdge;
    case Assertion::LineStart:
        // After a CR LF the backtracker also looks at the byte before the CR; taking every
        // position after the pair's second byte is the wider answer.
        return before == kTextEdge || (sep(before) && !(p0 >= 0 && before == p0 && after == p1)) ||
               (p0 >= 0 && before == p1);
    case Assertion::LineEnd:
        return after == kTextEdge || (p0 >= 0 && after == p0) || (sep(after) && !(p0 >= 0 && after == p1 && before == p0));
    }
    return false;
}

namespace {

constexpr std::size_t kMaxStates = 40000;
constexpr std::int64_t kMaxCopies = 200;     // of a one-character operand under braces
constexpr std::int64_t kMaxLoopCopies = 32;  // of a general operand under braces
constexpr std::uint64_t kMaxLoopWalk = 4'000'000;

struct TooLarge {};

bool isRepeat(std::uint8_t o) {
    return o == op::Star || o == op::Plus || o == op::Braces || o == op::StarNG || o == op::PlusNG || o == op::BracesNG;
}

class ProgramGraph {
public:
    explicit ProgramGraph(const std::vector<std::uint8_t>& code) : code_(code) {}

    std::vector<std::size_t> successors(std::size_t n) const {
        std::vector<std::size_t> s;
        const std::uint8_t o = code_[n];
        if (o == op::End) return s;
        const std::size_t nx = op::next(code_, n);
        if (o == op::Branch) {
            s.push_back(op::operand(n));
            if (nx && code_[nx] == op::Branch) s.push_back(nx);
            return s;
        }
        if (o == op::Loop || o == op::LoopNG) s.push_back(n - static_cast<std::size_t>(op::readInt(code_.data() + op::operand(n) + 8)));
        if (nx) s.push_back(nx);
        return s;
    }
    bool isAlternation(std::size_t n) const {
        if (code_[n] != op::Branch) return false;
        const std::size_t nx = op::next(code_, n);
        return nx && code_[nx] == op::Branch;
    }

    // Whether some general loop (a "*" or "+" on a group, or braces on one) repeats a piece that
    // holds a choice of its own: the nodes on a cycle through the loop's jump hold a second
    // alternative, a repeat or another loop.
    bool repeatsAChoice() const {
        std::unordered_map<std::size_t, std::vector<std::size_t>> succ, pred;
        std::vector<std::size_t> work{1}, loops;
        while (!work.empty()) {
            const std::size_t n = work.back();
            work.pop_back();
            if (n == 0 || n >= code_.size() || succ.count(n)) continue;
            succ[n] = successors(n);
            if (code_[n] == op::Back || code_[n] == op::Loop || code_[n] == op::LoopNG) loops.push_back(n);
            for (std::size_t s : succ[n]) {
                pred[s].push_back(n);
                work.push_back(s);
            }
        }
        if (static_cast<std::uint64_t>(loops.size()) * succ.size() > kMaxLoopWalk) return true;
        for (std::size_t loop : loops) {
            auto reach = [&](auto& edges) {
                std::unordered_map<std::size_t, bool> seen;
                std::vector<std::size_t> w{loop};
                while (!w.empty()) {
                    const std::size_t n = w.back();
                    w.pop_back();
                    if (seen[n]) continue;
                    seen[n] = true;
                    for (std::size_t s : edges[n]) w.push_back(s);
                }
                return seen;
            };
            auto ahead = reach(succ), behind = reach(pred);
            int alternations = 0;
            for (const auto& [n, in] : ahead) {
                if (!in || !behind.count(n) || !behind[n] || n == loop) continue;
                const std::uint8_t o = code_[n];
                if (isRepeat(o) || o == op::Loop || o == op::LoopNG || o == op::LoopEntry || o == op::Back) return true;
                if (isAlternation(n)) ++alternations;
            }
            // A "*" or "+" loop makes its own choice with one alternative; braces make it in the loop node.
            if (alternations > (code_[loop] == op::Back ? 1 : 0)) return true;
        }
        return false;
    }

private:
    const std::vector<std::uint8_t>& code_;
};

class NfaBuilder {
public:
    NfaBuilder(const Program& p, const CharTables& t) : code_(p.code), t_(t) {}

    std::unique_ptr<Nfa> build() {
        nfa_ = std::make_unique<Nfa>();
        nfa_->match = newState();
        contexts_.push_back(Context{0, 0});
        nfa_->start = stateFor(0, 1);
        while (!work_.empty()) {
            const Work w = work_.back();
            work_.pop_back();
            fill(w.context, w.node, w.state);
        }
        return std::move(nfa_);
    }

private:
    // A copy of a chain of nodes that runs into `stop` (a loop node) and there goes on with `out`.
    struct Context {
        std::size_t stop;
        std::uint32_t out;
    };
    struct Work {
        std::uint32_t context;
        std::size_t node;
        std::uint32_t state;
    };

    std::uint32_t newState() {
        if (nfa_->out.size() >= kMaxStates) throw TooLarge{};
        nfa_->out.emplace_back();
        return static_cast<std::uint32_t>(nfa_->out.size() - 1);
    }
    std::uint32_t stateFor(std::uint32_t context, std::size_t node) {
        if (node == 0 || node >= code_.size()) throw TooLarge{};
        if (context && node == contexts_[context].stop) return contexts_[context].out;
        const std::uint64_t key = (static_cast<std::uint64_t>(context) << 32) | node;
        auto it = memo_.find(key);
        if (it != memo_.end()) return it->second;
        const std::uint32_t s = newState();
        memo_.emplace(key, s);
        work_.push_back(Work{context, node, s});
        return s;
    }
    std::uint32_t setIndex(const std::bitset<256>& set) {
        auto [it, added] = setIds_.emplace(set, static_cast<std::uint32_t>(nfa_->sets.size()));
        if (added) nfa_->sets.push_back(set);
        return it->second;
    }
    void empty(std::uint32_t from, std::uint32_t to) { nfa_->out[from].push_back({Nfa::Kind::Empty, {}, 0, to}); }
    void bytes(std::uint32_t from, const std::bitset<256>& set, std::uint32_t to) {
        if (set.any()) nfa_->out[from].push_back({Nfa::Kind::Byte, {}, setIndex(set), to});
    }
    void test(std::uint32_t from, Assertion a, std::uint32_t to) {
        nfa_->hasTests = true;
        nfa_->out[from].push_back({Nfa::Kind::Test, a, 0, to});
    }
    // Any character beyond ASCII, or an invalid byte: a byte from 0x80, then continuation bytes.
    void beyondAscii(std::uint32_t from, std::uint32_t to) {
        std::bitset<256> lead, tail;
        for (int c = 0x80; c < 256; ++c) lead[static_cast<std::size_t>(c)] = true;
        for (int c = 0x80; c < 0xC0; ++c) tail[static_cast<std::size_t>(c)] = true;
        const std::uint32_t more = newState();
        bytes(from, lead, more);
        bytes(more, tail, more);
        empty(more, to);
    }

    // One character of the one-character node at `n`.
    void oneChar(std::uint32_t from, std::size_t n, std::uint32_t to) {
        const std::uint8_t o = code_[n];
        std::bitset<256> set;
        if (o == op::AnyButSep || o == op::AnyButSepU8) {
            for (int c = 0; c < 256; ++c) set[static_cast<std::size_t>(c)] = !t_.lineSep[static_cast<std::size_t>(c)];
        } else {
            ByteSet one{};
            addOneChar(code_, n, t_, one);
            for (int c = 0; c < 256; ++c) set[static_cast<std::size_t>(c)] = one[static_cast<std::size_t>(c)];
        }
        if (!op::isWideOne(o)) return bytes(from, set, to);
        for (int c = 0x80; c < 256; ++c) set[static_cast<std::size_t>(c)] = false;
        bytes(from, set, to);
        beyondAscii(from, to);
    }

    // A literal string of the node at `n`, one state per character.
    void literal(std::uint32_t from, std::size_t n, std::uint32_t to) {
        const std::uint8_t o = code_[n];
        const std::uint8_t* q = code_.data() + op::operand(n);
        std::uint32_t at = from;
        while (*q) {
            std::bitset<256> set;
            bool wide = false;
            if (o == op::ExactlyFold) {
                char32_t want;
                q += text::utf8::decode(q, 4, want);
                for (int c = 0; c < 0x80; ++c) set[static_cast<std::size_t>(c)] = text::unicode::fold(static_cast<char32_t>(c)) == want;
                wide = want >= 0x80;
                for (const auto& m : text::unicode::caseMembers(want)) wide = wide || m.member >= 0x80;
            } else {
                set[*q] = true;
                if (o == op::ExactlyCI) set[t_.otherCase[*q]] = true;
                ++q;
            }
            const std::uint32_t next = *q ? newState() : to;
            bytes(at, set, next);
            if (wide) beyondAscii(at, next);
            at = next;
        }
        if (at == from) empty(from, to);
    }

    void repeat(std::uint32_t s, std::size_t n, std::uint32_t target) {
        std::int64_t min = 0, max = op::kInfinity;
        std::size_t operand = op::operand(n);
        if (code_[n] == op::Plus || code_[n] == op::PlusNG) min = 1;
        if (code_[n] == op::Braces || code_[n] == op::BracesNG) {
            min = op::readInt(code_.data() + operand);
            max = op::readInt(code_.data() + operand + 4);
            operand += 8;
        }
        // Very many copies: fewer required ones and no maximum is the wider expression.
        if (min > kMaxCopies) min = kMaxCopies, max = op::kInfinity;
        if (max != op::kInfinity && max > kMaxCopies) max = op::kInfinity;
        std::uint32_t cur = target;
        if (max == op::kInfinity) {
            cur = newState();
            oneChar(cur, operand, cur);
            empty(cur, target);
        } else {
            for (std::int64_t k = min; k < max; ++k) {
                const std::uint32_t o = newState();
                oneChar(o, operand, cur);
                empty(o, target);
                cur = o;
            }
        }
        for (std::int64_t k = 0; k < min; ++k) {
            const std::uint32_t m = newState();
            oneChar(m, operand, cur);
            cur = m;
        }
        empty(s, cur);
    }

    void loop(std::uint32_t context, std::uint32_t s, std::size_t entry) {
        const std::size_t node = op::next(code_, entry);
        if (!node || (code_[node] != op::Loop && code_[node] != op::LoopNG)) throw TooLarge{};
        const std::uint8_t* operand = code_.data() + op::operand(node);
        std::int64_t min = op::readInt(operand), max = op::readInt(operand + 4);
        const std::size_t body = node - static_cast<std::size_t>(op::readInt(operand + 8));
        if (min > kMaxLoopCopies) min = kMaxLoopCopies, max = op::kInfinity;
        if (max != op::kInfinity && max > kMaxLoopCopies) max = op::kInfinity;
        const std::uint32_t exit = stateFor(context, op::next(code_, node));
        auto copy = [&](std::uint32_t out) {
            contexts_.push_back(Context{node, out});
            return stateFor(static_cast<std::uint32_t>(contexts_.size() - 1), body);
        };
        std::uint32_t cur = exit;
        if (max == op::kInfinity) {
            cur = newState();
            empty(cur, copy(cur));
            empty(cur, exit);
        } else {
            for (std::int64_t k = min; k < max; ++k) {
                const std::uint32_t o = newState();
                empty(o, copy(cur));
                empty(o, exit);
                cur = o;
            }
        }
        for (std::int64_t k = 0; k < min; ++k) cur = copy(cur);
        empty(s, cur);
    }

    void fill(std::uint32_t context, std::size_t n, std::uint32_t s) {
        const std::uint8_t o = code_[n];
        if (o == op::End) return empty(s, nfa_->match);
        const std::size_t nx = op::next(code_, n);
        if (!nx) throw TooLarge{};
        switch (o) {
        case op::Bol: return test(s, Assertion::InputStart, stateFor(context, nx));
        case op::Eol: return test(s, Assertion::InputEnd, stateFor(context, nx));
        case op::LineStart: return test(s, Assertion::LineStart, stateFor(context, nx));
        case op::LineEnd: return test(s, Assertion::LineEnd, stateFor(context, nx));
        case op::Branch:
            empty(s, stateFor(context, op::operand(n)));
            if (code_[nx] == op::Branch) empty(s, stateFor(context, nx));
            return;
        case op::Exactly: case op::ExactlyCI: case op::ExactlyFold:
            return literal(s, n, stateFor(context, nx));
        case op::Any: case op::AnyButSep: case op::AnyDigit: case op::NotDigit: case op::AnyOf3: case op::NoneOf3:
        case op::AnyOfSet: case op::AnyU8: case op::AnyButSepU8: case op::WordU8: case op::NotWordU8: case op::ClassU8:
            return oneChar(s, n, stateFor(context, nx));
        case op::LoopEntry: return loop(context, s, n);
        case op::Nothing: case op::Comment: case op::Back:
            return empty(s, stateFor(context, nx));
        default:
            if (isRepeat(o)) return repeat(s, n, stateFor(context, nx));
            if (op::isOpen(o) || op::isClose(o)) return empty(s, stateFor(context, nx));
            throw TooLarge{};  // back-references, and anything this automaton does not know
        }
    }

    const std::vector<std::uint8_t>& code_;
    const CharTables& t_;
    std::unique_ptr<Nfa> nfa_;
    std::vector<Context> contexts_;
    std::unordered_map<std::uint64_t, std::uint32_t> memo_;
    std::unordered_map<std::bitset<256>, std::uint32_t> setIds_;
    std::vector<Work> work_;
};

}  // namespace

std::unique_ptr<Nfa> buildNfa(const Program& program, const CharTables& tables) {
    if (program.hasBackRefs || program.code.size() < 2 || program.code[0] != op::kMagic) return nullptr;
    try {
        if (ProgramGraph(program.code).repeatsAChoice()) return nullptr;
        return NfaBuilder(program, tables).build();
    } catch (const TooLarge&) {
        return nullptr;
    }
}

}  // namespace vsr::regexpr
