// What the window's parts ask of it beyond their own commands: status texts, the tab shown,
// the query field's selection, and the controls a Lines Viewer fill holds while it pumps.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "ui/widgets/expression_selection.h"
#include "ui/window/find_window.h"

namespace vsr::ui {

void TFind::clearStatus(int panel) { StatusPanel[panel]->clear(); }

void TFind::showStatusNow(int panel, const std::string& text) {
    StatusPanel[panel]->setText(QString::fromStdString(text));
}

void TFind::onTabChanged(QObject* context, std::function<void()> f) {
    connect(PageControl1, &QTabWidget::currentChanged, context, [f = std::move(f)] { f(); });
}

void TFind::selectQueryCharacter(engine::Tab tab, int position) {
    ui::selectExpressionCharacter(tab == engine::Tab::Find ? FindMemo : SearchMemo, position, textEncoding());
}

std::vector<QWidget*> TFind::runStarters() {
    return {FindBit, SearchSpeedButton, ClearFindBit, ClearSearchBit, ListXPCheckBox};
}

std::vector<QMenu*> TFind::runMenus() { return {FileMenu, ReportMenu, ProjectMenu}; }

QAbstractButton* TFind::stopButton(engine::Tab tab) {
    return tab == engine::Tab::Find ? static_cast<QAbstractButton*>(StopFindBit) : StopSearch;
}

void TFind::setSearchInResultsEnabled(bool on) { ListXPCheckBox->setEnabled(on); }

bool TFind::previewChosen() const { return PreviewCheckBox->isChecked(); }

bool TFind::backupsChosen() const { return CreatBackupCheckBox->isChecked(); }

void TFind::onBackupsClicked(QObject* context, std::function<void(bool checked)> f) {
    connect(CreatBackupCheckBox, &QCheckBox::clicked, context, [f = std::move(f)](bool checked) { f(checked); });
}

bool TFind::pathGiven() const { return !ComboBoxPath->currentText().trimmed().isEmpty(); }

}  // namespace vsr::ui
