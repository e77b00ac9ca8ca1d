#include "ui/dialogs/path_ignore_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

TPathIgnoreDlg::TPathIgnoreDlg(WindowPrompter* prompter, QWidget* parent)
    : RevertingDialog(parent, QStringLiteral("Manual/Settings.htm#IgnoreLists")), prompter_(prompter) {
    setObjectName(QStringLiteral("TPathIgnoreDlg"));
    setWindowTitle(QStringLiteral("Directory Ignore List"));
    auto* layout = new QVBoxLayout(this);
    auto* label1 = new QLabel(QStringLiteral("Enter one full path per line."), this);
    auto* label2 = new QLabel(QStringLiteral("You can use wildcards in the paths."), this);
    PathsMemo = new QPlainTextEdit(this);
    PathsMemo->setObjectName(QStringLiteral("PathsMemo"));
    PathsMemo->setAccessibleName(QStringLiteral("Directory Ignore List"));
    label1->setBuddy(PathsMemo);
    PathsMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    PathsMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PathsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PathsMemo->setTabChangesFocus(true);
    XPButton1 = new QPushButton(QStringLiteral("Browse..."), this);
    XPButton1->setObjectName(QStringLiteral("XPButton1"));
    XPButton1->setAutoDefault(false);
    connect(XPButton1, &QPushButton::clicked, this, [this] { XPButton1Click(); });
    IgnoreSubFoldXPCheck = new QCheckBox(QStringLiteral("Ignore Subfolders Too"), this);
    IgnoreSubFoldXPCheck->setObjectName(QStringLiteral("IgnoreSubFoldXPCheck"));

    auto* top = new QHBoxLayout;
    auto* labels = new QVBoxLayout;
    labels->addWidget(label1);
    labels->addWidget(label2);
    top->addLayout(labels, 1);
    top->addWidget(XPButton1, 0, Qt::AlignBottom);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(IgnoreSubFoldXPCheck);
    bottom->addStretch(1);
    bottom->addWidget(makeOkButton());
    bottom->addWidget(makeCancelButton());
    layout->addLayout(top);
    layout->addWidget(PathsMemo, 1);
    layout->addLayout(bottom);
    resize(460, 300);
}

std::string TPathIgnoreDlg::listText() const { return bytes_.bytesOf(PathsMemo->toPlainText()); }
std::string TPathIgnoreDlg::acceptedListText() const { return isOpen() ? bytes_.bytesOf(savedText_) : listText(); }
bool TPathIgnoreDlg::acceptedIgnoreSubfolders() const { return isOpen() ? savedSubfolders_ : ignoreSubfolders(); }
void TPathIgnoreDlg::setListText(const std::string& text) { PathsMemo->setPlainText(bytes_.show(text)); }
bool TPathIgnoreDlg::ignoreSubfolders() const { return IgnoreSubFoldXPCheck->isChecked(); }
void TPathIgnoreDlg::setIgnoreSubfolders(bool on) { IgnoreSubFoldXPCheck->setChecked(on); }

void TPathIgnoreDlg::XPButton1Click() {
    if (!prompter_) return;
    const std::string start = initialDirwIgnPath.empty() ? QDir::currentPath().toStdString() : initialDirwIgnPath;
    const std::string folder = prompter_->selectFolder("Select the directory", start);
    if (folder.empty()) return;
    QTextCursor cursor = PathsMemo->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(bytes_.shown(folder));
    PathsMemo->setTextCursor(cursor);
    initialDirwIgnPath = folder;
}

void TPathIgnoreDlg::remember() {
    savedText_ = PathsMemo->toPlainText();
    savedSubfolders_ = IgnoreSubFoldXPCheck->isChecked();
}

void TPathIgnoreDlg::restore() {
    if (PathsMemo->toPlainText() != savedText_) PathsMemo->setPlainText(savedText_);
    IgnoreSubFoldXPCheck->setChecked(savedSubfolders_);
}

}  // namespace vsr::ui
