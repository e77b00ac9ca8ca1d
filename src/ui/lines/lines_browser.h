#pragma once
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "engine/viewer/lines_viewer_fill.h"
#include "engine/viewer/lines_viewer_intervals.h"
#include "ui/lines/lines_browser_host.h"

class QMenu;
class QTimer;

namespace vsr::ui {

class LinesViewer;
class LinesPreviewer;

// Keeps the Lines Viewer in step with the results list: fills it for the selected row 35 ms
// after the window went idle, runs the marking commands of the modification intervals with
// their menu rules, and shows the browsed file's interval in the status bar.
class LinesBrowser : public QObject, public engine::FillEvents {
    Q_OBJECT
public:
    LinesBrowser(LinesBrowserHost& window, engine::SearchEnv env);
    ~LinesBrowser() override;

    // Fills the viewer for `row` (it becomes the browsed row). Browse ties the fill to the
    // selection; Silent is what modification, undo and reports use.
    engine::FillResult fillRow(std::size_t row, engine::FillPurpose purpose);
    // The idle step: when the selected row is not the one shown, fill after 35 ms.
    void scheduleBrowse();
    bool browsePending() const;
    bool filling() const { return filling_; }
    // Another command's work that pumps messages (writing out a member of an archive) holds the
    // window as a Browse fill does: Stop and Escape are live, nothing that starts a run or
    // changes the list acts, and a new selection is shown once the work has ended.
    void beginPumpedWork();
    void endPumpedWork();
    bool pumpedWork() const { return held_; }

    // Shows the lines as Modify will write them after each Browse fill, while it wants to.
    LinesPreviewer* previewer = nullptr;

    // Whether Undo may come back after a Silent or Info-only fill switched it off: backups are
    // on and the last modification left something to undo. Unset: never.
    std::function<bool()> undoAvailable;
    // A double click on an entry edits the file; during a Browse fill the fill ends first.
    void activateEntry();

    // Intervals restrict modification now (the settings use them and the list may be modified).
    bool intervalsInEffect() const;
    bool listModifiable() const;
    // Status panel 1 with the browsed file's interval, when the rules ask for it.
    void showIntervalStatus();
    // Enable and visibility states of the interval commands for the menu about to open.
    void updateIntervalMenus(QMenu* menu);

    // The interval commands.
    void ModificationFrom1Click();
    void ModificationTo1Click();
    void ForBrowsedFile1Click();
    void ForSelectedFiles3Click();
    void ForListedFiles1Click();
    void ForBrowsedFile2Click();
    void ForSelectedFile1Click();
    void ForListedFiles2Click();

    // --- engine::FillEvents ---
    void fillStarting(engine::FillPurpose purpose) override;
    void fillEnded(const engine::FillResult& result) override;
    void entriesAdded() override;
    void selectExpressionCharacter(engine::Tab tab, int position) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool windowAlive() const;
    long long rowToBrowse() const;
    void browseDue();
    void setWhole(engine::MarkScope scope, bool all);
    void afterMarking();
    void enterRunningState();
    void leaveRunningState();
    void setUndoAllowed(bool on);
    void restoreNotedUndo();
    std::optional<results::ModificationInterval> markedInterval() const;
    // The preview no longer matches the box, the tab or the list: drop it, or fill again for it.
    bool previewOutdated();

    LinesBrowserHost& w_;
    // The viewer is destroyed with the window's widgets, before this object.
    QPointer<LinesViewer> viewer_;
    engine::SearchEnv env_;
    engine::IntervalMarker marker_;
    QTimer* timer_ = nullptr;
    bool filling_ = false;
    bool held_ = false;
    bool browseAgain_ = false;
    engine::FillPurpose fillPurpose_ = engine::FillPurpose::Browse;
    // The double click to carry out once the running fill has ended.
    bool editAfterFill_ = false;
    // Undo's off count right after a Silent or Info-only fill switched it off, and how often the
    // Browse fills' own running state switched it off since: any other switch-off cancels the note.
    std::optional<unsigned> undoNote_;
    unsigned ownUndoOffs_ = 0;
    // The entries (content revision) the last preview was made for; 0 when none is shown.
    std::uint64_t previewedRevision_ = 0;
    bool previewWanted_ = false;
    struct SavedState;
    SavedState* saved_ = nullptr;
};

}  // namespace vsr::ui
