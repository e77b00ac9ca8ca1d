#include "ui/dialogs/mask_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vsr::ui {

TMaskForm::TMaskForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TMaskForm"));
    setWindowTitle(QStringLiteral("Mask"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Please specify the mask"), this);
    label->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("*.*"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    label->setBuddy(Edit1);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    setMinimumWidth(260);
}

std::optional<std::string> TMaskForm::askMask() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return mask();
}

std::string TMaskForm::mask() const { return Edit1->text().toStdString(); }

void TMaskForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) OKBtn->setFocus(Qt::OtherFocusReason);
}

}  // namespace vsr::ui
