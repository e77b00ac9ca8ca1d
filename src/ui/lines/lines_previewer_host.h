#pragma once
#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/common/text_refusals.h"

class QCheckBox;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class SettingsDialogSet;

// What the preview needs of the window: the list and the viewer, the conditions and the
// options Modify would take, and the window as the engine's host that pumps its messages.
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

    virtual LinesViewer* linesViewer() = 0;
    virtual QCheckBox* previewBox() = 0;
};

}  // namespace vsr::ui
