#pragma once
#include <cstddef>

namespace vsr::engine {

// What modification, undo and erase-backups tell the window beyond the search host: the Undo
// button, the Lines Viewer and the Result column. Every call has a no-op default, so tools and
// tests implement only what they watch.
class ModifyViews {
public:
    virtual ~ModifyViews() = default;
    virtual void setUndoEnabled(bool on) {}
    virtual void clearLinesViewer() {}
    // Painting of the Lines Viewer is suspended while a run rewrites files.
    virtual void setLinesViewerPainting(bool on) {}
    // Refills the Lines Viewer for `row` without interaction (purpose Silent), so the row's
    // Found column and the reports see the file's new content.
    virtual void fillSilent(std::size_t row) {}
    virtual void scrollRowIntoView(std::size_t row) {}
    // The Result column is widened to show "Failed Undo".
    virtual void widenResultColumn() {}
};

}  // namespace vsr::engine
