#pragma once
#include <QObject>
#include <QString>
#include <cstddef>
#include <map>
#include <vector>

#include "engine/modify/edit_review.h"

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
class LinesReview;

class LinesPreviewer : public QObject {
    Q_OBJECT
public:
    // `files` is the store Modify reads and rewrites through: the preview reads as Modify would.
    LinesPreviewer(LinesPreviewerHost& window, durable::FileStore& files, platform::AttributeChanger& attributes,
                   platform::Clock& clock);

    // The box is on, the Search and Replace tab is active and the list may be modified.
    bool wanted() const;
    // Previews `row`, the row the Lines Viewer now shows; false when Stop or another selection
    // ended it. Each replacement the preview lists gets a check box in the viewer.
    bool preview(std::size_t row);
    // The status text of the last preview ("" when none is shown).
    const QString& statusText() const { return status_; }
    // Drops the preview, before the next one.
    void clear();
    // Drops the preview for good (the box was turned off, the list may no longer be modified):
    // the list's checks go with it, unless something is turned off.
    void drop();
    // The choice of replacements to keep, for every listed file.
    LinesReview& review() { return *review_; }
    // Keeps or skips the replacement whose box the keys act on, or every one of the browsed file.
    void toggleCurrentEdit();
    void toggleFile();

signals:
    // The status text changed without a new preview (a replacement was turned on or off).
    void statusChanged();

private:
    // Runs the engine over row `row` as Modify would with the file's choice; `observer` sees
    // the edits it makes. False when Stop or another selection ended it.
    bool run(std::size_t row, const engine::SkippedEdits* skipped, engine::EditObserver* observer,
             engine::RowPreview& out, std::string& note);
    // Shows what run() gave: the lines under the entries and the status text.
    void show(const engine::RowPreview& p, const std::string& note);
    void showBoxes();
    // The browsed file's preview again after its choice changed; with `line`, only that line's
    // replacements changed and the file is written before and after.
    void refresh(std::size_t line = 0);
    bool refreshLine(std::size_t row, std::size_t line, const engine::RowPreview& p);
    void toggleEdit(std::size_t ordinal);
    bool listRow(std::size_t row);

    LinesPreviewerHost& w_;
    platform::AttributeChanger& attributes_;
    platform::Clock& clock_;
    durable::FileStore& files_;
    QString status_;
    LinesReview* review_ = nullptr;
    // The browsed file's edits as last listed, and the row they are of (-1: none).
    std::vector<engine::ReviewEdit> edits_;
    long long editsRow_ = -1;
    // Every edit stays within its line, so the lines before and after pair one to one; and the
    // entry of each line shown.
    bool inlineEdits_ = false;
    std::map<std::int64_t, int> entryOfLine_;
    platform::CodePageId page_ = platform::CodePageId::Utf8;
    bool refreshing_ = false;
    bool refreshAgain_ = false;
};

}  // namespace vsr::ui
