#pragma once
#include "ui/common/window_part_host.h"


namespace vsr::ui {

class ResultsModel;

// What the preview and the review of replacements need of the window: the list and its view,
// the viewer, the conditions and the options Modify would take, and the window as the
// engine's host that pumps its messages.
class LinesPreviewerHost : public virtual WindowPartHost {
public:
    // The Preview box is ticked.
    virtual bool previewChosen() const = 0;
    // The results list's model, whose rows carry the check of each file's replacements.
    virtual ResultsModel* resultsModel() = 0;
};

}  // namespace vsr::ui
