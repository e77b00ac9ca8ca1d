#include "engine/modify/modify_phrase.h"

#include "engine/query/term_scanner.h"

namespace vsr::engine {
namespace {

class PhraseEditor {
public:
    PhraseEditor(ModifyContext& context)
        : context_(context),
          c_(context.conditions()),
          page_(context.codePage()),
          scanner_(c_.caseSensitive ? c_.searchText : page_.toUpper(c_.searchText), c_.wholeWords, page_,
                   !c_.caseSensitive) {
        if (c_.modificationType != ModificationType::Clear) insertion_ = c_.replaceText;
    }

    // Rewrites one line into `out` and sets `changed`; false when the stop flag ended the work.
    bool editLine(std::string_view line, std::string& out, bool& changed) {
        changed = false;
        if (c_.searchText.empty()) return true;
        out.clear();
        std::size_t copied = 0;  // bytes of `line` already in `out` (or consumed)
        std::size_t pos = 0;
        unsigned steps = 0;
        std::size_t end = 0;
        for (std::size_t at; (at = scanner_.next(line, pos, std::string_view::npos, &end)) != std::string_view::npos;) {
            if (++steps % 256 == 0) {
                context_.pumpIfDue(25);
                if (context_.stopped()) return false;
            }
            if (!changed) out.reserve(line.size() + line.size() / 8);
            out.append(line.substr(copied, at - copied));
            const std::string_view found = line.substr(at, end - at);
            switch (c_.modificationType) {
                case ModificationType::Replace: out += insertion_; break;
                // One blank per character of the occurrence.
                case ModificationType::Clear: out.append(page_.length(found), ' '); break;
                case ModificationType::InsertBefore: out += insertion_; out += found; break;
                case ModificationType::InsertAfter: out += found; out += insertion_; break;
                case ModificationType::Delete:
                case ModificationType::None: break;
            }
            copied = end;
            pos = end;
            changed = true;
        }
        if (changed) out.append(line.substr(copied));
        return true;
    }

private:
    ModifyContext& context_;
    const SearchConditions& c_;
    const platform::CodePage& page_;
    TermScanner scanner_;
    std::string insertion_;
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
