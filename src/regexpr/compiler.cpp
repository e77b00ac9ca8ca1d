#include "regexpr/compiler.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "regexpr/compiler_parser.h"
#include "regexpr/opcodes.h"
#include "regexpr/vx_regex_error.h"

namespace vsr::regexpr::detail {

Program Compiler::run() {
    if (re_.empty()) throw EVxRegex(kErrNullArgument, 0);
    pass(true);
    if (cur_ > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2))
        throw EVxRegex(kErrTooBig, 1);
    code_.assign(cur_, 0);
    std::size_t expected = cur_;
    pass(false);
    if (cur_ != expected) throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
    Program program;
    program.code = std::move(code_);
    program.modifiers = initialMods_;
    program.groupCount = groups_;
    computeShortcuts(program, t_);
    program.requiredSet = requiredLiterals(program, t_);
    program.startsInRequiredLine = startsInRequiredLine(program);
    program.lineEndsAlike = lineEndsAlike(program, t_);
    return program;
}

void Compiler::fail(int code, std::size_t at) const {
    throw EVxRegex(code, static_cast<int>(std::min(at, re_.size() ? re_.size() - 1 : 0)) + 1);
}

void Compiler::pass(bool sizing) {
    sizing_ = sizing;
    cur_ = 0;
    p_ = 0;
    groups_ = 0;
    mods_ = initialMods_;
    emitByte(op::kMagic);
    int flags = 0;
    parseReg(false, flags, 0);
}

void Compiler::need(std::size_t bytes) {
    if (!sizing_ && cur_ + bytes > code_.size()) throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
}

void Compiler::emitByte(std::uint8_t b) {
    need(1);
    if (!sizing_) code_[cur_] = b;
    ++cur_;
}

void Compiler::emitInt(std::int32_t v) {
    need(4);
    if (!sizing_) op::writeInt(code_.data() + cur_, v);
    cur_ += 4;
}

std::size_t Compiler::emitNode(std::uint8_t opcode) {
    std::size_t at = cur_;
    emitByte(opcode);
    emitInt(0);
    return at;
}

void Compiler::insertNode(std::uint8_t opcode, std::size_t at, std::size_t operandBytes) {
    std::size_t total = op::kHeader + operandBytes;
    need(total);
    if (!sizing_) {
        std::uint8_t* base = code_.data();
        std::memmove(base + at + total, base + at, cur_ - at);
        std::memset(base + at, 0, total);
        base[at] = opcode;
    }
    cur_ += total;
}

void Compiler::setIntAt(std::size_t at, std::int32_t v) {
    if (!sizing_) op::writeInt(code_.data() + at, v);
}

void Compiler::tail(std::size_t p, std::size_t val) {
    if (sizing_) return;
    std::size_t scan = p;
    for (std::size_t guard = 0; guard <= code_.size(); ++guard) {
        std::size_t nx = op::next(code_, scan);
        if (nx == 0) {
            op::writeInt(code_.data() + scan + 1,
                         static_cast<std::int32_t>(static_cast<std::ptrdiff_t>(val) - static_cast<std::ptrdiff_t>(scan)));
            return;
        }
        scan = nx;
    }
    throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
}

void Compiler::opTail(std::size_t p, std::size_t val) {
    if (sizing_ || code_[p] != op::Branch) return;
    tail(op::operand(p), val);
}

std::size_t Compiler::parseReg(bool paren, int& flags, std::size_t openPos) {
    flags = kHasWidth;
    unsigned savedMods = mods_;
    std::size_t ret = 0;
    int group = 0;
    if (paren) {
        if (groups_ >= op::kMaxGroups) fail(kErrTooManyGroups, openPos);
        group = ++groups_;
        ret = emitNode(static_cast<std::uint8_t>(op::OpenBase + group));
    }
    std::vector<std::size_t> branches;
    int f = 0;
    std::size_t br = parseBranch(f);
    branches.push_back(br);
    if (ret) tail(ret, br);
    else ret = br;
    if (!(f & kHasWidth)) flags &= ~kHasWidth;
    flags |= f & kSpStart;
    while (p_ < re_.size() && re_[p_] == '|') {
        ++p_;
        br = parseBranch(f);
        branches.push_back(br);
        tail(ret, br);
        if (!(f & kHasWidth)) flags &= ~kHasWidth;
        flags |= f & kSpStart;
    }
    std::size_t ender = emitNode(paren ? static_cast<std::uint8_t>(op::CloseBase + group) : op::End);
    tail(ret, ender);
    for (std::size_t b : branches) opTail(b, ender);
    if (paren) {
        if (p_ >= re_.size() || re_[p_] != ')') fail(kErrUnmatchedOpen, openPos);
        ++p_;
        mods_ = savedMods;  // inline modifiers end with their group
    } else if (p_ < re_.size()) {
        fail(re_[p_] == ')' ? kErrUnmatchedClose : kErrJunkOnEnd, p_);
    }
    return ret;
}

std::size_t Compiler::parseBranch(int& flags) {
    flags = kWorst;
    std::size_t ret = emitNode(op::Branch);
    std::size_t chain = 0;
    bool first = true;
    for (;;) {
        skipExtended();
        if (p_ >= re_.size() || re_[p_] == '|' || re_[p_] == ')') break;
        int f = 0;
        std::size_t latest = parsePiece(f);
        flags |= f & kHasWidth;
        if (first && !(f & kNop)) {
            flags |= f & kSpStart;
            first = false;
        }
        if (chain) tail(chain, latest);
        chain = latest;
    }
    if (!chain) emitNode(op::Nothing);
    return ret;
}

std::size_t Compiler::parsePiece(int& flags) {
    int f = 0;
    std::size_t ret = parseAtom(f);
    skipExtended();
    std::size_t qPos = p_;
    Quantifier q;
    if (!parseQuantifier(q)) {
        flags = f;
        return ret;
    }
    if (f & kNop) fail(kErrFollowsNothing, qPos);
    if ((q.kind == '*' || q.kind == '+') && !(f & kHasWidth)) fail(kErrOperandCouldBeEmpty, qPos);
    bool greedy = (mods_ & kModG) && !q.lazyMark;

    // A one-character operand repeats by itself, except that a character of varying width
    // takes only "*" and "+" that way; its other quantifiers make a general loop.
    if ((f & kSimple) && (!(f & kWide) || q.kind == '*' || q.kind == '+')) {
        std::uint8_t opcode;
        if (q.kind == '*') opcode = greedy ? op::Star : op::StarNG;
        else if (q.kind == '+') opcode = greedy ? op::Plus : op::PlusNG;
        else opcode = greedy ? op::Braces : op::BracesNG;
        bool braces = opcode == op::Braces || opcode == op::BracesNG;
        insertNode(opcode, ret, braces ? 8 : 0);
        if (braces) {
            setIntAt(ret + op::kHeader, q.min);
            setIntAt(ret + op::kHeader + 4, q.max);
        }
    } else if (greedy && q.kind == '*') {
        // x* as: Branch(x Back->Branch) Branch(Nothing)
        insertNode(op::Branch, ret, 0);
        opTail(ret, emitNode(op::Back));
        opTail(ret, ret);
        tail(ret, emitNode(op::Branch));
        tail(ret, emitNode(op::Nothing));
    } else if (greedy && q.kind == '+') {
        // x+ as: x Branch(Back->x) Branch(Nothing)
        std::size_t br = emitNode(op::Branch);
        tail(ret, br);
        tail(emitNode(op::Back), ret);
        tail(br, emitNode(op::Branch));
        tail(ret, emitNode(op::Nothing));
    } else if (greedy && q.kind == '?') {
        // x? as: Branch(x) Branch(Nothing)
        insertNode(op::Branch, ret, 0);
        tail(ret, emitNode(op::Branch));
        std::size_t nothing = emitNode(op::Nothing);
        tail(ret, nothing);
        opTail(ret, nothing);
    } else {
        // Braces and non-greedy forms on a general operand: LoopEntry body Loop(n, m, back).
        insertNode(op::LoopEntry, ret, 0);
        std::size_t loop = emitNode(greedy ? op::Loop : op::LoopNG);
        std::size_t body = ret + op::kHeader;
        emitInt(q.min);
        emitInt(q.max);
        emitInt(static_cast<std::int32_t>(loop - body));
        tail(ret, loop);
        tail(body, loop);
    }
    flags = kSpStart | ((q.min > 0 && (f & kHasWidth)) ? kHasWidth : 0);

    skipExtended();
    if (quantifierAt(p_)) fail(kErrNestedQuantifier, p_);
    return ret;
}

}  // namespace vsr::regexpr::detail

namespace vsr::regexpr {

Program compileExpression(std::string_view expression, unsigned modifiers, const CharTables& tables) {
    return detail::Compiler(expression, modifiers, tables).run();
}

}  // namespace vsr::regexpr
