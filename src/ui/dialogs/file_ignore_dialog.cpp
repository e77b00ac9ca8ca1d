#include "ui/dialogs/file_ignore_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vsr::ui {

TFileIgnoreDlg::TFileIgnoreDlg(QWidget* parent) : RevertingDialog(parent, QStringLiteral("Manual/Settings.htm#IgnoreLists")) {
    setObjectName(QStringLiteral("TFileIgnoreDlg"));
    setWindowTitle(QStringLiteral("File Ignore List"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Enter one mask per line"), this);
    FilesMemo = new QPlainTextEdit(this);
    FilesMemo->setObjectName(QStringLiteral("FilesMemo"));
    FilesMemo->setAccessibleName(QStringLiteral("File Ignore List"));
    label->setBuddy(FilesMemo);
    FilesMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FilesMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FilesMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FilesMemo->setTabChangesFocus(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(makeOkButton());
    bottom->addWidget(makeCancelButton());
    layout->addWidget(label);
    layout->addWidget(FilesMemo, 1);
    layout->addLayout(bottom);
    resize(320, 280);
}

std::string TFileIgnoreDlg::listText() const { return bytes_.bytesOf(FilesMemo->toPlainText()); }
std::string TFileIgnoreDlg::acceptedListText() const { return isOpen() ? bytes_.bytesOf(savedText_) : listText(); }
void TFileIgnoreDlg::setListText(const std::string& text) { FilesMemo->setPlainText(bytes_.show(text)); }

void TFileIgnoreDlg::remember() { savedText_ = FilesMemo->toPlainText(); }

void TFileIgnoreDlg::restore() {
    if (FilesMemo->toPlainText() != savedText_) FilesMemo->setPlainText(savedText_);
}

}  // namespace vsr::ui
