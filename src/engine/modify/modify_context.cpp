#include "engine/modify/modify_context.h"

namespace vsr::engine {
namespace {

SearchConditions onSearchAndReplaceTab(SearchConditions c) {
    c.tab = Tab::SearchAndReplace;
    return c;
}

}  // namespace

ModifyQuery::ModifyQuery(const SearchConditions& conditions, RunControl& control, platform::Clock& clock)
    : query_(onSearchAndReplaceTab(conditions)) {
    matcher_ = query_.matcher([&control, &clock] {
        pumpIfDue(control, clock, 20);
        return !control.runState().stop;
    });
}

LineRange intervalRange(const results::ModificationInterval& interval, std::size_t lineCount) {
    LineRange r;
    r.first = interval.from > 0 ? static_cast<std::size_t>(interval.from) : 1;
    r.last = interval.to > 0 ? static_cast<std::size_t>(interval.to) : lineCount;
    // Marking beyond the end means the file is no longer the one that was marked: its lines
    // can't be trusted to be the intended ones, so the file is left alone.
    r.valid = r.first > r.last || r.last <= lineCount;
    return r;
}

bool insertsReplacement(ModificationType type) {
    return type == ModificationType::Replace || type == ModificationType::InsertBefore ||
           type == ModificationType::InsertAfter;
}

}  // namespace vsr::engine
