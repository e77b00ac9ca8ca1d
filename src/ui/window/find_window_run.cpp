// Running a search with the window as the engine's host: Find/Search, Stop, the message
// pump, the status panels and what the window does after the walk.
#include <QButtonGroup>
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

#include "ui/widgets/busy_indicator.h"
#include "ui/list/column_fit.h"
#include "ui/widgets/expression_selection.h"
#include "ui/window/find_window.h"
#include "ui/window/window_index.h"
#include "ui/lines/lines_previewer.h"
#include "ui/lines/lines_review.h"
#include "ui/lines/lines_viewer.h"
#include "ui/list/results_model.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {

void TFind::FindButtonClick() { runSearch({}); }

void TFind::runSearch(const engine::RunOptions& options) {
    // A run lets events through; a second Find from inside it would reuse the list underneath.
    if (state_.busy || !driver_) return;
    TextRefusals refused;
    engine::SearchConditions conditions = currentConditions(activeTab(), &refused);
    if (!refused.query.empty()) {
        // A character the encoding lacks would be searched as something else: nothing runs.
        prompter_->messageBox(engine::tabCaption(conditions.tab), refused.query, engine::MessageIcon::Exclamation);
        return;
    }
    state_.listPopupBlocked = true;
    commands_.setAllowed(Command::ModifyAll, false);
    commands_.setAllowed(Command::Undo, false);
    state_.listClearedForRun = false;
    runConditions_ = std::move(conditions);
    pendingExpressionError_.reset();
    // The replacements kept or skipped were those of the list this search replaces.
    if (previewer_) previewer_->review().reset();
    if (settingsDialogs_) driver_->setThreads(settingsDialogs_->settings().searchThreads());
    if (!stored_.dialog.indexFolderXPCh) index_.reset();
    else if (!index_)
        index_ = std::make_unique<WindowIndex>(this, [this](const std::string& text) {
            if (!state_.busy) setStatusText(engine::kPathPanel, text);
        });
    driver_->setIndexSkip(index_ ? index_->beforeRun(runConditions_) : nullptr);
    driver_->FindButtonClick(runConditions_, options);
    driver_->setIndexSkip(nullptr);
    if (index_) index_->afterRun();
    // A report goes on in the running state and ends it itself.
    if (options.forReport) return;
    if (state_.busy) endRunState(runConditions_.tab);  // a run that never reached its end state
    selectPendingExpressionError();
    commandRunEnded();
}

void TFind::selectPendingExpressionError() {
    if (!pendingExpressionError_) return;
    const auto [tab, position] = *pendingExpressionError_;
    pendingExpressionError_.reset();
    selectQueryCharacter(tab, position);
}

void TFind::commandRunEnded() {
    // Closing the window during the run stopped it; the close happens now that it has unwound.
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    scheduleIdle();
}

void TFind::scrollRowIntoView(std::size_t row) {
    if (row >= list_.count()) return;
    ListView1->scrollTo(model_->index(static_cast<int>(row), 0));
}

void TFind::widenColumn(results::Column column, int width96) {
    QHeaderView* header = ListView1->header();
    const int wanted = metrics_.s(width96);
    for (int section = 0; section < model_->columnCount(); ++section) {
        if (model_->columnAt(section) != column) continue;
        if (header->sectionSize(section) < wanted) header->resizeSection(section, wanted);
    }
}

void TFind::widenCutColumns() {
    // Columns the user never sized show their texts whole as far as the list's width allows,
    // sharing it so that the Result column stays in sight; sized ones stay as chosen.
    if (!listHasRows()) return;
    QHeaderView* header = ListView1->header();
    const QFontMetrics fm = ListView1->fontMetrics();
    // The first rows stand for the rest; measuring thousands of rows would stall the end of a run.
    const int sample = std::min(model_->rowCount(), 200);
    auto contentWidth = [&](int section, bool withCaption = true) {
        int content = withCaption ? header->sectionSizeHint(section) : metrics_.s(40);
        for (int row = 0; row < sample; ++row)
            content = std::max(content, fm.horizontalAdvance(model_->index(row, section).data().toString()) +
                                            metrics_.s(12));
        return content;
    };
    const int last = model_->columnCount() - 1;
    std::vector<ColumnNeed> needs;
    for (int section = 0; section < last; ++section) {
        ColumnNeed n;
        n.current = header->sectionSize(section);
        n.fixed = userSizedColumns_.count(int(model_->columnAt(section))) > 0;
        n.wanted = n.fixed ? n.current : std::min(contentWidth(section), metrics_.s(320));
        n.floor = metrics_.s(40);
        needs.push_back(n);
    }
    // The list's width, less a vertical scroll bar that more rows will bring.
    // The Result column's caption grows with the interval label; its texts are what must show.
    const int result = contentWidth(last, false);
    const int available = ListView1->width() - 2 * ListView1->frameWidth() -
                          ListView1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - result;
    const std::vector<int> widths = shareColumnWidths(needs, available);
    const QScopedValueRollback<bool> own(resizingColumns_, true);
    for (int section = 0; section < last; ++section)
        if (header->sectionSize(section) != widths[std::size_t(section)])
            header->resizeSection(section, widths[std::size_t(section)]);
    // The last column stretches over what is left, but never below the width it was given.
    header->resizeSection(last, result);
}

void TFind::StopFindBitSClick() {
    run_.stop = true;
    run_.modificationStop = true;
    state_.userIntervention = true;
    if (driver_) driver_->StopFindBitSClick();
    state_.listPopupBlocked = true;
    StopFindBit->setEnabled(false);
}

void TFind::pumpMessages() {
    // Rows found since the last pass reach the view in batches the model paces itself.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

engine::Prompter& TFind::prompter() { return *prompter_; }

void TFind::setStatusText(int panel, const std::string& text) {
    if (panel < 0 || panel > 2) return;
    if (!state_.busy) {
        pendingStatus_[panel].reset();
        StatusPanel[panel]->setText(QString::fromUtf8(text));
        return;
    }
    pendingStatus_[panel] = QString::fromUtf8(text);
    if (!statusTimer_->isActive()) statusTimer_->start();
}

void TFind::showPendingStatus() {
    statusTimer_->stop();
    for (int panel = 0; panel < 3; ++panel) {
        if (!pendingStatus_[panel]) continue;
        StatusPanel[panel]->setText(*pendingStatus_[panel]);
        pendingStatus_[panel].reset();
    }
}

void TFind::beginRun(engine::Tab tab) {
    state_.modifyPending = true;
    commands_.setAllowed(Command::SaveList, false);
    state_.listQueryType = runConditions_.effectiveQueryType();
    beginRunState(tab);
}

void TFind::endRun(engine::Tab tab) {
    model_->flushRows();
    endRunState(tab);
}

void TFind::setBusyAnimation(bool on) {
    if (on) Animate1->start();
    else Animate1->stop();
}

void TFind::selectExpressionCharacter(engine::Tab tab, int position) {
    // The query field is disabled while the run lasts; the selection waits for its end.
    if (state_.busy) {
        pendingExpressionError_ = std::make_pair(tab, position);
        return;
    }
    selectQueryCharacter(tab, position);
}

void TFind::searchFinished(const engine::RunSummary& summary) {
    model_->flushRows();
    const bool sr = summary.tab == engine::Tab::SearchAndReplace;
    if (!listHasRows()) {
        setPathEnabled(true);
        ListXPCheckBox->setChecked(false);
        ListXPCheckBox->setEnabled(false);
        if (sr) setEraseBackups(true);
    } else {
        ListXPCheckBox->setEnabled(true);
        if (ListXPCheckBox->isChecked()) {
            setPathEnabled(false);
            setEraseBackups(false);
        }
    }
    if (summary.foundFiles > 0) commands_.setAllowed(Command::SaveList, true);
    widenCutColumns();
    state_.listActive = true;
    if (listHasRows()) {
        state_.listPopupBlocked = false;
        pumpMessages();
        const long long selected = list_.firstSelected();
        if (selected >= 0) {
            list_.selectOnly(static_cast<std::size_t>(selected));
        } else if (!summary.stopped) {
            list_.selectOnly(0);
        }
        listSelectionChanged();
        if (sr && rowSelected()) {
            commands_.setAllowed(Command::DeleteItems, true);
            if (modificationType() != engine::ModificationType::None && foundColumnExists())
                commands_.setAllowed(Command::ModifySelected, true);
        }
        if (!sr && rowSelected()) enableListCommands(false);
    }
}

}  // namespace vsr::ui
