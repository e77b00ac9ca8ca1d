#include "ui/lines/lines_previewer.h"

#include <QCheckBox>
#include <QLabel>

#include "engine/modify/modify_preview.h"
#include "engine/modify/preview_lines.h"
#include "ui/lines/lines_viewer.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {
namespace {

// The window's host for a preview: pumping goes to the window, and the engine's stop flag is
// the preview's own, raised by Stop or by another row being selected. A message the engine
// would show (a replacement too long) becomes the status text instead of a box on every row.
class PreviewHost final : public engine::SearchHost {
public:
    PreviewHost(engine::SearchHost& w, std::string fullName) : w_(w), fullName_(std::move(fullName)) {
        own_.lastPumpMs = w.runState().lastPumpMs;
    }
    void pumpMessages() override {
        w_.pumpMessages();
        w_.runState().lastPumpMs = own_.lastPumpMs;
        if (w_.runState().stop || !stillBrowsing()) {
            interrupted = true;
            own_.stop = true;
        }
    }
    engine::Prompter& prompter() override { return w_.prompter(); }
    void message(const std::string&, const std::string& text, engine::MessageIcon) override { note = text; }
    void setStatusText(int, const std::string&) override {}
    void rowFound(results::ResultItem, const std::vector<std::int64_t>&) override {}
    engine::RunState& runState() override { return own_; }
    results::ResultList& results() override { return w_.results(); }

    bool interrupted = false;
    std::string note;

private:
    bool stillBrowsing() {
        const results::ResultList& list = w_.results();
        long long row = list.currentIndex;
        if (row < 0 || row >= static_cast<long long>(list.count()) || !list.row(static_cast<std::size_t>(row)).selected)
            row = list.firstSelected();
        return row >= 0 && row < static_cast<long long>(list.count()) &&
               list.row(static_cast<std::size_t>(row)).fullName() == fullName_;
    }

    engine::SearchHost& w_;
    std::string fullName_;
    engine::RunState own_;
};

QString changedText(std::size_t lines) {
    if (lines == 0) return QStringLiteral("Preview: no line of the file will change");
    if (lines == 1) return QStringLiteral("Preview: 1 line of the file will change");
    return QStringLiteral("Preview: %1 lines of the file will change").arg(static_cast<qulonglong>(lines));
}

}  // namespace

LinesPreviewer::LinesPreviewer(LinesPreviewerHost& window, durable::FileStore& files, platform::AttributeChanger& attributes,
                               platform::Clock& clock)
    : QObject(&window.windowWidget()), w_(window), attributes_(attributes), clock_(clock), files_(files) {}

bool LinesPreviewer::wanted() const {
    return w_.previewBox()->isChecked() && !w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace &&
           w_.commands().allowed(Command::ModifyAll);
}

void LinesPreviewer::clear() {
    status_.clear();
    w_.linesViewer()->clearPreview();
}

bool LinesPreviewer::preview(std::size_t row) {
    clear();
    LinesViewer* viewer = w_.linesViewer();
    if (row >= w_.results().count() || viewer->content().browsedRow != static_cast<long long>(row)) return true;
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(engine::Tab::SearchAndReplace, &refused);
    // Modify would refuse these texts, so there is nothing to preview.
    if (!refused.query.empty() || !refused.replacement.empty()) return true;
    PreviewHost host(w_.searchHost(), w_.results().row(row).fullName());
    const engine::RowPreview p = engine::previewRow({files_, attributes_, clock_}, host, row, conditions,
                                                    w_.settingsDialogs().modifyOptions());
    if (host.interrupted) {
        // Like a Browse fill that Stop ended, the preview clears the flag again.
        w_.runState().stop = false;
        return false;
    }
    switch (p.state) {
        case engine::PreviewState::Changed:
        case engine::PreviewState::Unchanged: {
            const std::string_view after =
                p.state == engine::PreviewState::Changed ? p.content.after() : p.content.before();
            engine::LinesPreview lines = engine::previewLines(viewer->content(), p.content.before(), after);
            status_ = changedText(lines.changedLines);
            viewer->setPreview(std::move(lines.under));
            break;
        }
        case engine::PreviewState::Refused:
            status_ = QStringLiteral("Preview: the file can't be modified (it is read-only, hidden or missing)");
            break;
        case engine::PreviewState::Failed:
            status_ = QStringLiteral("Preview: the modification would fail for this file");
            if (!p.content.failure.empty()) status_ += QStringLiteral(": ") + QString::fromStdString(p.content.failure);
            break;
        case engine::PreviewState::Stopped:
            status_ = host.note.empty() ? QString() : QStringLiteral("Preview: ") + QString::fromStdString(host.note);
            break;
    }
    return true;
}

}  // namespace vsr::ui
