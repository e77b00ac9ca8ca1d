#pragma once
#include <QObject>
#include <QString>
#include <cstddef>

#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "ui/lines/lines_previewer_host.h"

namespace vsr::ui {


// The "Preview" check box of the Search and Replace tab at work: after a Browse fill of a list
// that may be modified, the Lines Viewer shows under each found line the line as Modify will
// write it, computed by Modify's own path, and the status bar says how many lines will change.
// It runs inside the Browse fill's running state and ends like the fill: on Stop, or when
// another row is selected.
class LinesPreviewer : public QObject {
    Q_OBJECT
public:
    // `files` is the store Modify reads and rewrites through: the preview reads as Modify would.
    LinesPreviewer(LinesPreviewerHost& window, durable::FileStore& files, platform::AttributeChanger& attributes,
                   platform::Clock& clock);

    // The box is on, the Search and Replace tab is active and the list may be modified.
    bool wanted() const;
    // Previews `row`, the row the Lines Viewer now shows; false when Stop or another selection
    // ended it.
    bool preview(std::size_t row);
    // The status text of the last preview ("" when none is shown).
    const QString& statusText() const { return status_; }
    // Drops the preview (the box was turned off, the list may no longer be modified).
    void clear();

private:
    LinesPreviewerHost& w_;
    platform::AttributeChanger& attributes_;
    platform::Clock& clock_;
    durable::FileStore& files_;
    QString status_;
};

}  // namespace vsr::ui
