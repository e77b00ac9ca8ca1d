#pragma once
#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/common/text_refusals.h"
#include "ui/window/window_state.h"

class QCheckBox;
class QTreeView;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class ResultsModel;
class SettingsDialogSet;

// What the preview and the review of replacements need of the window: the list and its view,
// the viewer, the conditions and the options Modify would take, and the window as the
// engine's host that pumps its messages.
class LinesPreviewerHost {
public:
    virtual ~LinesPreviewerHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::SearchHost& searchHost() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual CommandSet& commands() = 0;
    virtual engine::SearchConditions currentConditions(engine::Tab tab, TextRefusals* refusals = nullptr) const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual bool onOptionsTab() const = 0;
    virtual SettingsDialogSet& settingsDialogs() = 0;
    virtual const WindowState& state() const = 0;

    virtual LinesViewer* linesViewer() = 0;
    virtual QCheckBox* previewBox() = 0;
    // The results list, whose rows carry the check of each file's replacements.
    virtual QTreeView* resultsView() = 0;
    virtual ResultsModel* resultsModel() = 0;
};

}  // namespace vsr::ui
