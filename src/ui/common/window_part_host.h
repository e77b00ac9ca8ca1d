#pragma once
#include <functional>
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/common/metrics.h"
#include "ui/common/text_refusals.h"
#include "ui/window/window_state.h"

class QObject;
class QTreeView;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class SettingsDialogSet;

// What every part of the window reads of it, whatever the part does: the window its dialogs
// belong to and where its questions go, the list and the run's state, the commands and the
// measures, the tab shown and the conditions its controls hold. Each part's own host adds
// what only that part needs; the window implements them all once.
class WindowPartHost {
public:
    virtual ~WindowPartHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    // The window as the engine sees a run of a part's: where the run reports, and how it is
    // steered (the stop flag, the pump).
    virtual engine::SearchSink& searchSink() = 0;
    virtual engine::RunControl& runControl() = 0;
    virtual const WindowState& state() const = 0;
    virtual WindowState& mutableState() = 0;
    virtual CommandSet& commands() = 0;
    virtual const Metrics& metrics() const = 0;
    virtual SettingsDialogSet& settingsDialogs() = 0;
    // What the window remembers between runs besides the conditions (the folders its dialogs
    // start in and the like).
    virtual settings::MainOptions& storedOptions() = 0;
    // The text encoding chosen in the settings dialog: the encoding of every typed text.
    virtual platform::CodePageId textEncoding() const = 0;
    // The controls as a conditions record, as a run takes them at its start; a typed text the
    // encoding cannot hold goes to `refusals` and must not run.
    virtual engine::SearchConditions currentConditions(engine::Tab tab, TextRefusals* refusals = nullptr) const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual void showTab(engine::Tab tab) = 0;
    virtual bool onOptionsTab() const = 0;
    virtual engine::ModificationType modificationType() const = 0;
    virtual bool listHasRows() const = 0;
    virtual bool listVisible() const = 0;
    // Shows the list's own selection in the view, after a part chose rows.
    virtual void listSelectionChanged() = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;
    // Empties a status panel at once, also while a run paces its texts.
    virtual void clearStatus(int panel) = 0;
    // Calls `f` after every change of the tab shown, while `context` lives.
    virtual void onTabChanged(QObject* context, std::function<void()> f) = 0;
    // The list's view, and the Lines Viewer showing the browsed row's lines.
    virtual QTreeView* resultsView() = 0;
    virtual LinesViewer* linesViewer() = 0;
};

}  // namespace vsr::ui
