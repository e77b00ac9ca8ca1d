#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/modify/edit_choice.h"
#include "engine/modify/edit_observer.h"
#include "engine/modify/modify_file_model.h"
#include "engine/query/compiled_query.h"
#include "engine/query/search_conditions.h"
#include "engine/search/pump_pacing.h"
#include "engine/search/run_control.h"
#include "engine/search/search_sink.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "results/result_item.h"

namespace vsr::engine {

// The settings-dialog values a modification run reads besides the conditions.
struct ModifyOptions {
    LineSeparator separator = LineSeparator::Unix;
    bool replaceReadOnly = false;  // "Replace Read Only Files"
    bool replaceHidden = false;    // "Replace Hidden Files"
};

// How one engine left a file model.
enum class EngineOutcome {
    Done,     // the model holds the new lines (possibly unchanged)
    Stopped,  // the stop flag ended it: the file must not be written
    Failed,   // the file can't be modified; the model may be half changed and must not be written
};

// The query of a modification run, the Search and Replace tab's, compiled once, and the matcher
// every file of the run goes through (null when the expression does not compile). Long work
// lets the window process messages and ends at the stop flag.
class ModifyQuery {
public:
    ModifyQuery(const SearchConditions& conditions, RunControl& control, platform::Clock& clock);
    const CompiledQuery& query() const { return query_; }
    QueryMatcher* matcher() { return matcher_.get(); }

private:
    CompiledQuery query_;
    std::unique_ptr<QueryMatcher> matcher_;
};

// What the modification engines share: the conditions, the run's query, the sink for its
// messages, the run control (pumping, the stop flag) and the clock that paces pumping.
class ModifyContext {
public:
    ModifyContext(const SearchConditions& conditions, ModifyQuery& query, SearchSink& sink, RunControl& control,
                  platform::Clock& clock)
        : conditions_(conditions), query_(query), sink_(sink), control_(control), clock_(clock),
          codePage_(platform::CodePage::get(conditions.textEncoding)) {}

    const SearchConditions& conditions() const { return conditions_; }
    const CompiledQuery& query() const { return query_.query(); }
    QueryMatcher* matcher() { return query_.matcher(); }
    SearchSink& sink() { return sink_; }
    const platform::CodePage& codePage() const { return codePage_; }

    bool stopped() { return control_.runState().stop; }
    void requestStop() { control_.runState().stop = true; }
    void pumpIfDue(int intervalMs) { engine::pumpIfDue(control_, clock_, intervalMs); }
    // The edits of the file at hand the user turned off (null: all kept), and who watches the
    // edits made (null: nobody). Set before each file; the count of edits starts again.
    void chooseEdits(const SkippedEdits* skipped, EditObserver* observer = nullptr) {
        choice_ = skipped;
        skipped_ = skipped && !skipped->empty() ? skipped : nullptr;
        observer_ = observer;
        tally_ = {};
    }
    // The engines ask this once for each edit they would make, in text order: true when the edit
    // is to be made. A skipped edit leaves its bytes as they were.
    bool keepEdit() {
        const std::size_t ordinal = tally_.seen++;
        if (skipped_ && skipped_->skipped(ordinal)) return false;
        ++tally_.kept;
        return true;
    }
    // An engine starts the file over: the edits are counted, and seen, again.
    void restartEdits() {
        tally_ = {};
        if (observer_) observer_->restart();
    }
    // Whether an observer wants the edits made (noteEdit), so their lines are worth finding.
    bool observing() const { return observer_ != nullptr; }
    // The edit keepEdit() just let through, for the observer.
    void noteEdit(const SeenEdit& edit) {
        if (observer_) observer_->seen(tally_.seen - 1, edit);
    }
    const EditTally& tally() const { return tally_; }
    // Whether a choice turned off every edit of the file: it is then left as it is.
    bool allEditsSkipped() const { return skipped_ && tally_.kept == 0; }
    // The file's choice as given, also when it turns nothing off (its `reviewed` still holds).
    const SkippedEdits* skippedEdits() const { return choice_; }

    // A message box with the program's title that ends the run.
    void failRun(const std::string& text) {
        sink_.message(kProgramTitle, text, MessageIcon::Warning);
        requestStop();
    }

private:
    const SearchConditions& conditions_;
    ModifyQuery& query_;
    SearchSink& sink_;
    RunControl& control_;
    platform::Clock& clock_;
    const platform::CodePage& codePage_;
    const SkippedEdits* choice_ = nullptr;
    const SkippedEdits* skipped_ = nullptr;  // choice_ when it turns something off
    EditObserver* observer_ = nullptr;
    EditTally tally_;
};

// The 1-based range of lines an interval selects in a file of `lineCount` lines; `valid` is
// false when the range reaches past the end of the file (the file shrank after marking).
struct LineRange {
    std::size_t first = 1;
    std::size_t last = 0;
    bool valid = true;
};
LineRange intervalRange(const results::ModificationInterval& interval, std::size_t lineCount);

inline constexpr const char* kReplaceTextTooLong = "The string is too long for the To Replace or Insert field";
inline constexpr const char* kReplaceLinesTooLong = "The lines are too long for the To Replace or Insert field";
inline constexpr std::size_t kMaxReplaceText = 4000;
inline constexpr std::size_t kMaxReplaceLine = 1000;

// Whether the modification type inserts the replacement text (Replace, InsertBefore, InsertAfter).
bool insertsReplacement(ModificationType type);

}  // namespace vsr::engine
