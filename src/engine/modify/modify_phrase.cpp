#include "engine/modify/modify_phrase.h"

#include <cstring>

#include "engine/query/case_fold.h"

namespace vsr::engine {
namespace {

class PhraseEditor {
public:
    PhraseEditor(ModifyContext& context)
        : context_(context), c_(context.conditions()), page_(context.codePage()) {
        pattern_ = c_.caseSensitive ? c_.searchText : page_.toUpper(c_.searchText);
        insertion_ = c_.modificationType == ModificationType::Clear ? std::string(c_.searchText.size(), ' ')
                                                                    : c_.replaceText;
    }

    // Rewrites one line into `out` and sets `changed`; false when the stop flag ended the work.
    bool editLine(std::string_view line, std::string& out, bool& changed) {
        changed = false;
        const std::size_t n = pattern_.size();
        if (n == 0 || line.size() < n) return true;
        std::string_view hay = line;
        if (!c_.caseSensitive) {
            folded_.resize(line.size());
            foldUpper(page_, line.data(), folded_.data(), line.size());
            hay = folded_;
        }
        out.clear();
        std::size_t copied = 0;  // bytes of `line` already in `out` (or consumed)
        std::size_t pos = 0;
        unsigned steps = 0;
        while (pos + n <= hay.size()) {
            const void* hit = memmem(hay.data() + pos, hay.size() - pos, pattern_.data(), n);
            if (!hit) break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data());
            if (++steps % 256 == 0) {
                context_.pumpIfDue(25);
                if (context_.stopped()) return false;
            }
            if (c_.wholeWords && !isWholeWord(line, at, n)) {
                pos = at + 1;
                continue;
            }
            if (!changed) out.reserve(line.size() + line.size() / 8);
            out.append(line.substr(copied, at - copied));
            const std::string_view found(line.data() + at, n);
            switch (c_.modificationType) {
                case ModificationType::Replace:
                case ModificationType::Clear: out += insertion_; break;
                case ModificationType::InsertBefore: out += insertion_; out += found; break;
                case ModificationType::InsertAfter: out += found; out += insertion_; break;
                case ModificationType::Delete:
                case ModificationType::None: break;
            }
            copied = at + n;
            pos = at + n;
            changed = true;
        }
        if (changed) out.append(line.substr(copied));
        return true;
    }

private:
    // The characters around the occurrence, in the whole line, must not be word characters.
    bool isWholeWord(std::string_view line, std::size_t at, std::size_t n) const {
        if (at > 0 && page_.isWordChar(static_cast<unsigned char>(line[at - 1]))) return false;
        if (at + n < line.size() && page_.isWordChar(static_cast<unsigned char>(line[at + n]))) return false;
        return true;
    }

    ModifyContext& context_;
    const SearchConditions& c_;
    const platform::CodePage& page_;
    std::string pattern_;
    std::string insertion_;
    std::string folded_;
};

}  // namespace

EngineOutcome PhraseModify(ModifyContext& context, FileModel& model, const results::ModificationInterval& interval) {
    const SearchConditions& c = context.conditions();
    if (insertsReplacement(c.modificationType) && c.replaceText.size() > kMaxReplaceText) {
        context.failRun(kReplaceTextTooLong);
        return EngineOutcome::Stopped;
    }
    std::size_t first = 1;
    std::size_t last = model.lines.size();
    if (c.phraseIntervals) {
        if (interval.isNil()) return EngineOutcome::Done;
        LineRange range = intervalRange(interval, model.lines.size());
        if (!range.valid) return EngineOutcome::Failed;
        first = range.first;
        last = range.last;
    }
    PhraseEditor editor(context);
    std::string out;
    bool changed = false;
    for (std::size_t i = first; i <= last; ++i) {
        // The clock is read every few lines only: files of short lines are the common case.
        if (i % 64 == 0) context.pumpIfDue(15);
        if (context.stopped()) return EngineOutcome::Stopped;
        if (!editor.editLine(model.lines[i - 1], out, changed)) return EngineOutcome::Stopped;
        if (changed) model.lines[i - 1] = model.keep(std::move(out));
    }
    return context.stopped() ? EngineOutcome::Stopped : EngineOutcome::Done;
}

}  // namespace vsr::engine
