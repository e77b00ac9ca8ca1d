#include "ui/lines/lines_previewer.h"

#include <QCheckBox>
#include <QLabel>

#include <map>

#include "engine/modify/modify_preview.h"
#include "engine/modify/preview_lines.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "ui/lines/lines_review.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_viewer_text.h"
#include "ui/list/results_model.h"

namespace vsr::ui {
namespace {

// A preview's run: pumping goes to the window, and the engine's stop flag is the preview's
// own, raised by Stop or by another row being selected. A message the engine would show (a
// replacement too long) becomes the status text instead of a box on every row.
class PreviewRun final : public engine::SearchSink, public engine::RunControl {
public:
    // `followSelection`: the preview ends when the user selects another row of `list` than the file's.
    PreviewRun(engine::RunControl& w, const results::ResultList& list, std::string fullName, bool followSelection = true)
        : w_(w), list_(list), fullName_(std::move(fullName)), follow_(followSelection) {
        own_.lastPumpMs = w.runState().lastPumpMs;
    }
    void pumpMessages() override {
        w_.pumpMessages();
        w_.runState().lastPumpMs = own_.lastPumpMs;
        if (w_.runState().stop || (follow_ && !stillBrowsing())) {
            interrupted = true;
            own_.stop = true;
        }
    }
    void message(const std::string&, const std::string& text, engine::MessageIcon) override { note = text; }
    void setStatusText(int, const std::string&) override {}
    void rowFound(results::ResultItem, const std::vector<std::int64_t>&) override {}
    engine::RunState& runState() override { return own_; }

    bool interrupted = false;
    std::string note;

private:
    bool stillBrowsing() {
        const results::ResultList& list = list_;
        long long row = list.currentIndex;
        if (row < 0 || row >= static_cast<long long>(list.count()) || !list.row(static_cast<std::size_t>(row)).selected)
            row = list.firstSelected();
        return row >= 0 && row < static_cast<long long>(list.count()) &&
               list.row(static_cast<std::size_t>(row)).fullName() == fullName_;
    }

    engine::RunControl& w_;
    const results::ResultList& list_;
    std::string fullName_;
    bool follow_;
    engine::RunState own_;
};

// The edits of a file as the engine makes them, for its check boxes.
class EditList final : public engine::EditObserver {
public:
    explicit EditList(std::vector<engine::ReviewEdit>& edits) : edits_(edits) {}
    void seen(std::size_t ordinal, const engine::SeenEdit& edit) override {
        edits_.push_back(engine::reviewEdit(ordinal, edit));
    }
    void restart() override { edits_.clear(); }

private:
    std::vector<engine::ReviewEdit>& edits_;
};

}  // namespace

LinesPreviewer::LinesPreviewer(LinesPreviewerHost& window, durable::FileStore& files, platform::AttributeChanger& attributes,
                               platform::Clock& clock)
    : QObject(&window.windowWidget()), w_(window), attributes_(attributes), clock_(clock), files_(files) {
    review_ = new LinesReview(window);
    review_->listRow = [this](std::size_t row) { return listRow(row); };
    LinesViewer* viewer = w_.linesViewer();
    connect(viewer, &LinesViewer::boxToggled, this, &LinesPreviewer::toggleEdit);
    connect(viewer, &LinesViewer::fileToggled, this, &LinesPreviewer::toggleFile);
    connect(review_, &LinesReview::rowToggled, this, [this](std::size_t row) {
        if (static_cast<long long>(row) == editsRow_) {
            w_.linesViewer()->setAllBoxesOn(!review_->choices().wholeOff(w_.results().row(row).fullName()));
            refresh();
        } else {
            emit statusChanged();
        }
    });
}

bool LinesPreviewer::wanted() const {
    return w_.previewChosen() && !w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace &&
           w_.commands().allowed(Command::ModifyAll);
}

void LinesPreviewer::clear() {
    status_.clear();
    w_.linesViewer()->clearPreview();
}

void LinesPreviewer::drop() {
    clear();
    edits_.clear();
    editsRow_ = -1;
    review_->setShown(false);
}

bool LinesPreviewer::run(std::size_t row, const engine::SkippedEdits* skipped, engine::EditObserver* observer,
                         engine::RowPreview& out, std::string& note) {
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(engine::Tab::SearchAndReplace, &refused);
    PreviewRun host(w_.runControl(), w_.results(), w_.results().row(row).fullName());
    out = engine::previewRow({files_, attributes_, clock_}, host, host, w_.results().row(row), conditions,
                             w_.settingsDialogs().modifyOptions(), skipped, observer);
    note = host.note;
    if (!host.interrupted) return true;
    // Like a Browse fill that Stop ended, the preview clears the flag again.
    w_.runState().stop = false;
    return false;
}

bool LinesPreviewer::preview(std::size_t row) {
    clear();
    edits_.clear();
    editsRow_ = -1;
    LinesViewer* viewer = w_.linesViewer();
    if (row >= w_.results().count() || viewer->content().browsedRow != static_cast<long long>(row)) return true;
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(engine::Tab::SearchAndReplace, &refused);
    // Modify would refuse these texts, so there is nothing to preview.
    if (!refused.query.empty() || !refused.replacement.empty()) return true;
    page_ = conditions.textEncoding;
    review_->prepare(conditions);
    review_->setShown(true);
    // A full run first: it lists the file's edits, and is the preview itself while none is off.
    engine::FileReview listing;
    EditList collector(listing.edits);
    engine::RowPreview p;
    std::string note;
    if (!run(row, nullptr, &collector, p, note)) return false;
    listing.state = p.state;
    listing.hash = engine::reviewHash(p.content.original);
    if (p.content.outcome != engine::EngineOutcome::Done) listing.edits.clear();
    review_->listed(row, listing);
    edits_ = std::move(listing.edits);
    editsRow_ = static_cast<long long>(row);
    if (const engine::SkippedEdits* skipped = review_->skippedOf(row))
        if (!run(row, skipped, nullptr, p, note)) return false;
    show(p, note);
    if (p.state == engine::PreviewState::Changed || p.state == engine::PreviewState::Unchanged) showBoxes();
    return true;
}

void LinesPreviewer::show(const engine::RowPreview& p, const std::string& note) {
    LinesViewer* viewer = w_.linesViewer();
    switch (p.state) {
        case engine::PreviewState::Changed:
        case engine::PreviewState::Unchanged: {
            const std::string_view after =
                p.state == engine::PreviewState::Changed ? p.content.after() : p.content.before();
            engine::LinesPreview lines = engine::previewLines(viewer->content(), p.content.before(), after);
            viewer->setPreview(std::move(lines.under));
            status_ = QStringLiteral("Preview: ") + review_->statusText();
            break;
        }
        case engine::PreviewState::Refused:
            viewer->clearPreview();
            status_ = QStringLiteral("Preview: the file can't be modified (it is read-only, hidden or missing)");
            break;
        case engine::PreviewState::Failed:
            viewer->clearPreview();
            status_ = QStringLiteral("Preview: the modification would fail for this file");
            if (!p.content.failure.empty()) status_ += QStringLiteral(": ") + QString::fromStdString(p.content.failure);
            break;
        case engine::PreviewState::Stopped:
            viewer->clearPreview();
            status_ = note.empty() ? QString() : QStringLiteral("Preview: ") + QString::fromStdString(note);
            break;
    }
}

void LinesPreviewer::showBoxes() {
    LinesViewer* viewer = w_.linesViewer();
    const engine::LinesViewerContent& content = viewer->content();
    const std::string file = w_.results().row(static_cast<std::size_t>(editsRow_)).fullName();
    // The entry of each line the viewer shows; a replacement goes into the entry of its first line.
    std::map<std::int64_t, int>& entryOfLine = entryOfLine_;
    entryOfLine.clear();
    bool onlyLines = true;
    for (std::size_t i = 0; i < content.count(); ++i) {
        const engine::FoundLine& e = content.entry(i);
        if (e.kind == engine::FoundLineKind::Line || e.kind == engine::FoundLineKind::Multiline)
            entryOfLine.emplace(e.lineNumber, static_cast<int>(i));
        if (e.kind == engine::FoundLineKind::Multiline) onlyLines = false;
    }
    inlineEdits_ = onlyLines;
    for (const engine::ReviewEdit& e : edits_)
        if (e.before.lines.size() != 1 || e.after.lines.size() != 1) inlineEdits_ = false;
    std::vector<LinesViewer::ReviewBox> boxes;
    boxes.reserve(edits_.size());
    for (std::size_t i = 0; i < edits_.size();) {
        const auto it = entryOfLine.find(static_cast<std::int64_t>(edits_[i].line));
        std::size_t end = i + 1;
        while (end < edits_.size() && edits_[end].line == edits_[i].line) ++end;
        if (it != entryOfLine.end()) {
            const engine::FoundLine& e = content.entry(static_cast<std::size_t>(it->second));
            std::vector<int> columns(end - i, 0);
            if (e.kind == engine::FoundLineKind::Line) {
                // The box stands before the text the replacement changes, right of " line N: ".
                const std::size_t prefix = engine::foundLinePrefix(e.lineNumber).size();
                std::vector<std::size_t> offsets;
                for (std::size_t k = i; k < end; ++k) offsets.push_back(prefix + edits_[k].column);
                columns = displayColumns(e, page_, offsets);
            }
            for (std::size_t k = i; k < end; ++k)
                boxes.push_back({it->second, columns[k - i], edits_[k].ordinal, review_->choices().isOn(file, edits_[k].ordinal)});
        }
        i = end;
    }
    viewer->setReviewBoxes(std::move(boxes), edits_.size());
}

bool LinesPreviewer::refreshLine(std::size_t, std::size_t line, const engine::RowPreview& p) {
    if (!inlineEdits_ || p.state != engine::PreviewState::Changed) return false;
    const auto entry = entryOfLine_.find(static_cast<std::int64_t>(line));
    if (entry == entryOfLine_.end()) return false;
    const std::vector<std::string_view> before = engine::viewerLines(p.content.before());
    const std::vector<std::string_view> after = engine::viewerLines(p.content.after());
    if (before.size() != after.size() || line > before.size()) return false;
    if (!w_.linesViewer()->setPreviewOf(entry->second, {engine::previewLineWithEnds(before[line - 1], after[line - 1])}))
        return false;
    status_ = QStringLiteral("Preview: ") + review_->statusText();
    return true;
}

void LinesPreviewer::refresh(std::size_t line) {
    // A refresh pumps messages; a key pressed meanwhile is taken by the next pass.
    if (refreshing_) {
        refreshAgain_ = true;
        return;
    }
    refreshing_ = true;
    do {
        refreshAgain_ = false;
        const long long row = editsRow_;
        if (row < 0 || row >= static_cast<long long>(w_.results().count()) ||
            w_.linesViewer()->content().browsedRow != row)
            break;
        engine::RowPreview p;
        std::string note;
        if (!run(static_cast<std::size_t>(row), review_->skippedOf(static_cast<std::size_t>(row)), nullptr, p, note))
            break;
        // One line changed: only its preview is made again, not the whole file's.
        if (line > 0 && !refreshAgain_ && refreshLine(static_cast<std::size_t>(row), line, p)) break;
        show(p, note);
        line = 0;
    } while (refreshAgain_);
    refreshing_ = false;
    emit statusChanged();
}

void LinesPreviewer::toggleEdit(std::size_t ordinal) {
    if (editsRow_ < 0 || w_.state().busy) return;
    const std::size_t row = static_cast<std::size_t>(editsRow_);
    const std::string file = w_.results().row(row).fullName();
    const bool writtenBefore = !review_->choices().wholeOff(file);
    review_->choices().toggle(file, ordinal);
    w_.linesViewer()->setBoxOn(ordinal, review_->choices().isOn(file, ordinal));
    w_.resultsModel()->checkChanged(row);
    // While the file is written before and after, only the line of the replacement changes.
    std::size_t line = 0;
    if (writtenBefore && !review_->choices().wholeOff(file))
        for (const engine::ReviewEdit& e : edits_)
            if (e.ordinal == ordinal) line = e.line;
    refresh(line);
}

void LinesPreviewer::toggleCurrentEdit() {
    const LinesViewer* viewer = w_.linesViewer();
    if (viewer->currentBox() >= 0)
        toggleEdit(viewer->reviewBoxes()[static_cast<std::size_t>(viewer->currentBox())].ordinal);
}

void LinesPreviewer::toggleFile() {
    if (editsRow_ < 0 || w_.state().busy) return;
    const std::size_t row = static_cast<std::size_t>(editsRow_);
    const std::string file = w_.results().row(row).fullName();
    review_->choices().toggleFile(file);
    w_.linesViewer()->setAllBoxesOn(!review_->choices().wholeOff(file));
    w_.resultsModel()->checkChanged(row);
    refresh();
}

bool LinesPreviewer::listRow(std::size_t row) {
    if (row >= w_.results().count()) return false;
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(engine::Tab::SearchAndReplace, &refused);
    if (!refused.query.empty() || !refused.replacement.empty()) return false;
    review_->prepare(conditions);
    engine::FileReview listing;
    EditList collector(listing.edits);
    // The file is listed for the list's check, whichever row is selected meanwhile.
    PreviewRun host(w_.runControl(), w_.results(), w_.results().row(row).fullName(), false);
    const engine::RowPreview p = engine::previewRow({files_, attributes_, clock_}, host, host, w_.results().row(row),
                                                    conditions, w_.settingsDialogs().modifyOptions(), nullptr,
                                                    &collector);
    if (host.interrupted) {
        w_.runState().stop = false;
        return false;
    }
    listing.state = p.state;
    listing.hash = engine::reviewHash(p.content.original);
    if (p.content.outcome != engine::EngineOutcome::Done) listing.edits.clear();
    review_->listed(row, listing);
    return true;
}

}  // namespace vsr::ui
