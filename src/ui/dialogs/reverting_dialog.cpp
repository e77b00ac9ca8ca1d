#include "ui/dialogs/reverting_dialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace vsr::ui {

RevertingDialog::RevertingDialog(QWidget* parent, QString helpTopic) : QDialog(parent), helpTopic_(std::move(helpTopic)) {
    setModal(true);
}

void RevertingDialog::reject() {
    restore();
    QDialog::reject();
}

void RevertingDialog::done(int result) {
    open_ = false;
    QDialog::done(result);
}

QPushButton* RevertingDialog::makeOkButton() {
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OKBtn"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    return ok_;
}

QPushButton* RevertingDialog::makeCancelButton() {
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &RevertingDialog::reject);
    return cancel;
}

void RevertingDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // the window being restored, not the dialog being opened
    remember();
    open_ = true;
    if (ok_) ok_->setFocus(Qt::OtherFocusReason);
}

void RevertingDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (helpOpener_) helpOpener_(helpTopic_);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vsr::ui
