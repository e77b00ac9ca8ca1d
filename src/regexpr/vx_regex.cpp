#include "regexpr/vx_regex.h"

#include <cstring>

#include "regexpr/compiler.h"
#include "regexpr/opcodes.h"

namespace vsr::regexpr {

TVxRegex::TVxRegex() : tables_(CharTables::windows1252()) { caps_.clear(); }

void TVxRegex::SetExpression(std::string_view expression) {
    if (!expressionSet_ || expression != expression_ || !program_) dropProgram();
    expression_.assign(expression.data(), expression.size());
    expressionSet_ = true;
}

void TVxRegex::SetModifier(int index, bool on) {
    if (index < 1 || index > 6) throw EVxRegex(kErrBadModifierIndex, 0);
    unsigned bit = 1u << (index - 1);
    modifiers_ = on ? (modifiers_ | bit) : (modifiers_ & ~bit);
}

bool TVxRegex::GetModifier(int index) const {
    if (index < 1 || index > 6) throw EVxRegex(kErrBadModifierIndex, 0);
    return (modifiers_ >> (index - 1)) & 1u;
}

void TVxRegex::SetLinePairedSeparator(std::string_view separator) {
    if (!separator.empty() && (separator.size() != 2 || separator[0] == separator[1]))
        throw EVxRegex(kErrPairedSeparator, 0);
    if (separator.empty()) {
        tables_.paired0 = tables_.paired1 = -1;
    } else {
        tables_.paired0 = static_cast<std::uint8_t>(separator[0]);
        tables_.paired1 = static_cast<std::uint8_t>(separator[1]);
    }
    dropProgram();
}

void TVxRegex::SetLineSeparators(std::string_view characters) {
    tables_.setLineSeparators(characters);
    dropProgram();
}

void TVxRegex::SetSpaceChars(std::string_view characters) {
    tables_.setSpace(characters);
    dropProgram();
}

void TVxRegex::SetCaseTable(const ByteTable& upper) {
    tables_.setUpper(upper);
    dropProgram();
}

void TVxRegex::SetWordTable(const ByteTable& word) {
    tables_.setWord(word);
    dropProgram();
}

void TVxRegex::Compile() {
    dropProgram();
    // A failed compilation leaves no program, so the next match compiles again.
    program_ = std::make_unique<Program>(compileExpression(expressionSet_ ? expression_ : std::string_view(),
                                                           modifiers_, tables_));
}

void TVxRegex::ensureCompiled() {
    if (!program_ || program_->modifiers != modifiers_) Compile();
    if (program_->code.empty() || program_->code[0] != op::kMagic) throw EVxRegex(kErrCorruptedProgram, 0);
}

bool TVxRegex::Exec(std::string_view input) {
    ensureCompiled();
    // The input ends at its first NUL; assign() keeps the buffer when the size allows.
    std::size_t nul = input.find('\0');
    if (nul != std::string_view::npos) input = input.substr(0, nul);
    input_.assign(input.data(), input.size());
    hasInput_ = true;
    caps_.clear();
    lastMatched_ = false;
    return ExecPos(1);
}

bool TVxRegex::ExecPos(std::int64_t offset) {
    ensureCompiled();
    if (!hasInput_) throw EVxRegex(kErrNoInput, 0);
    if (offset < 1) throw EVxRegex(kErrOffsetBelowOne, 0);
    caps_.clear();
    lastMatched_ = false;
    if (static_cast<std::uint64_t>(offset) > input_.size() + 1) return false;
    matcher_.startClock();
    try {
        lastMatched_ = search(static_cast<std::size_t>(offset - 1));
    } catch (...) {
        caps_.clear();
        throw;
    }
    if (!lastMatched_) caps_.clear();
    return lastMatched_;
}

bool TVxRegex::ExecNext() {
    if (!lastMatched_) throw EVxRegex(kErrExecNextWithoutExec, 0);
    std::int64_t next = caps_.end[0];
    if (caps_.end[0] == caps_.start[0]) ++next;  // past an empty match, so loops always end
    return ExecPos(next + 1);
}

bool TVxRegex::attempt(std::size_t pos) {
    caps_.clear();
    std::size_t end = 0;
    if (!matcher_.run(*program_, tables_, input_.data(), input_.size(), pos, caps_, end)) return false;
    caps_.start[0] = static_cast<std::int64_t>(pos);
    caps_.end[0] = static_cast<std::int64_t>(end);
    return true;
}

bool TVxRegex::search(std::size_t from) {
    const Program& p = *program_;
    const char* s = input_.data();
    const std::size_t len = input_.size();

    if (!p.required.empty()) {
        if (len - from < p.required.size()) return false;
        const void* hit = ::memmem(s + from, len - from, p.required.data(), p.required.size());
        if (!hit) return false;
        if (p.requiredIsPrefix) {
            // The match begins with the literal: try only where it stands.
            std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - s);
            for (;;) {
                if (attempt(at)) return true;
                ++at;
                if (len - at < p.required.size()) return false;
                hit = ::memmem(s + at, len - at, p.required.data(), p.required.size());
                if (!hit) return false;
                at = static_cast<std::size_t>(static_cast<const char*>(hit) - s);
            }
        }
    }
    if (p.anchored) return attempt(from);
    if (p.startChar >= 0) {
        for (std::size_t at = from; at < len;) {
            const void* hit = std::memchr(s + at, p.startChar, len - at);
            if (!hit) return false;
            at = static_cast<std::size_t>(static_cast<const char*>(hit) - s);
            if (attempt(at)) return true;
            ++at;
        }
        return false;
    }
    if (p.canMatchEmpty) {
        for (std::size_t at = from; at <= len; ++at)
            if (attempt(at)) return true;
        return false;
    }
    const std::uint8_t* u = reinterpret_cast<const std::uint8_t*>(s);
    for (std::size_t at = from; at < len; ++at)
        if (p.firstSet[u[at]] && attempt(at)) return true;
    return false;
}

std::int64_t TVxRegex::MatchStart(int group) const {
    if (group < 0 || group >= kGroupSlots || !hasInput_) return -1;
    if (caps_.start[group] < 0 || caps_.end[group] < 0) return -1;
    return caps_.start[group] + 1;
}

std::int64_t TVxRegex::MatchLength(int group) const {
    if (group < 0 || group >= kGroupSlots || !hasInput_) return -1;
    if (caps_.start[group] < 0 || caps_.end[group] < 0) return -1;
    return caps_.end[group] - caps_.start[group];
}

std::string_view TVxRegex::Match(int group) const {
    std::int64_t start = MatchStart(group);
    if (start < 0) return {};
    return std::string_view(input_).substr(static_cast<std::size_t>(start - 1),
                                           static_cast<std::size_t>(MatchLength(group)));
}

const std::string& TVxRegex::InputString() const {
    if (!hasInput_) throw EVxRegex(kErrNoInputString, 0);
    return input_;
}

}  // namespace vsr::regexpr
