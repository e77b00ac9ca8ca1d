#pragma once
#include <optional>

#include "engine/query/search_conditions.h"
#include "results/status_texts.h"

namespace vsr::ui {

enum class QueryView { OneLine, MultiLine };

// The window's own state besides its controls.
struct WindowState {
    bool busy = false;
    // Whether the conditions changed after the list was built is the run state's flag,
    // shared with the engine (engine::RunState::conditionsChanged).
    bool modifyPending = false;
    bool undoWasEnabled = false;
    // The window height chosen by the user while the list is shown, at the current scale.
    int normalHeight = 0;
    int listHeight = 0;
    // A search ran and its list was not hidden since: switching tabs shows the list again.
    bool listActive = false;
    // The query kind of the run that built the list (options of other kinds don't touch it).
    std::optional<engine::QueryType> listQueryType;
    bool listClearedForRun = false;
    // Set by Stop; keeps the list's pop-up menu closed until the list has rows again.
    bool listPopupBlocked = false;
    bool maximizedAtStart = false;
    // The user pressed Stop during a run; batch and command-line runs end their remaining steps.
    bool userIntervention = false;
};

}  // namespace vsr::ui
