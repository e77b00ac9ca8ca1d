#include "ui/dialogs/rename_dialog.h"
#include "ui/common/object_names.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vsr::ui {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TRenameDlg::TRenameDlg(engine::Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("TRenameDlg"));
    setWindowTitle(QStringLiteral("Rename Files"));
    setModal(true);

    Edit3 = named(new QLineEdit(this), "Edit3");
    Edit4 = named(new QLineEdit(this), "Edit4");
    RemoveCheckBox = named(new QCheckBox(QStringLiteral("Remove:"), this), "RemoveCheckBox");
    FirstPositionLabel = named(new QLabel(QStringLiteral("First Position:"), this), "FirstPositionLabel");
    SpinEdit1 = named(new QSpinBox(this), "SpinEdit1");
    NumberLabel = named(new QLabel(QStringLiteral("Number:"), this), "NumberLabel");
    SpinEdit2 = named(new QSpinBox(this), "SpinEdit2");
    // Positions and counts start at 1; the boxes never hold less.
    for (QSpinBox* spin : {SpinEdit1, SpinEdit2}) spin->setRange(1, 9999);
    ExtCheckBox = named(new QCheckBox(QStringLiteral("New Extension:"), this), "ExtCheckBox");
    Edit5 = named(new QLineEdit(this), "Edit5");
    Edit5->setAccessibleName(QStringLiteral("New Extension"));
    OKBtn = named(new QPushButton(QStringLiteral("Rename"), this), "OKBtn");
    CancCommButton = named(new QPushButton(QStringLiteral("Clear Commands"), this), "CancCommButton");
    ExitBtn = named(new QPushButton(QStringLiteral("Exit"), this), "ExitBtn");
    OKBtn->setDefault(true);

    auto* prefixLabel = named(new QLabel(QStringLiteral("Add &Prefix:"), this), "PrefixLabel");
    prefixLabel->setBuddy(Edit3);
    auto* suffixLabel = named(new QLabel(QStringLiteral("Add &Suffix:"), this), "SuffixLabel");
    suffixLabel->setBuddy(Edit4);
    FirstPositionLabel->setBuddy(SpinEdit1);
    NumberLabel->setBuddy(SpinEdit2);

    auto* grid = new QGridLayout;
    grid->addWidget(prefixLabel, 0, 0);
    grid->addWidget(Edit3, 0, 1, 1, 4);
    grid->addWidget(suffixLabel, 1, 0);
    grid->addWidget(Edit4, 1, 1, 1, 4);
    grid->addWidget(RemoveCheckBox, 2, 0);
    grid->addWidget(FirstPositionLabel, 2, 1);
    grid->addWidget(SpinEdit1, 2, 2);
    grid->addWidget(NumberLabel, 2, 3);
    grid->addWidget(SpinEdit2, 2, 4);
    grid->addWidget(ExtCheckBox, 3, 0);
    grid->addWidget(Edit5, 3, 1, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CancCommButton);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(ExitBtn);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addSpacing(8);
    column->addLayout(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &TRenameDlg::OKBtnClick);
    connect(CancCommButton, &QPushButton::clicked, this, &TRenameDlg::CancCommButtonClick);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(RemoveCheckBox, &QCheckBox::toggled, this, &TRenameDlg::RemoveCheckBoxClick);
    connect(ExtCheckBox, &QCheckBox::toggled, this, &TRenameDlg::ExtCheckBoxClick);
    setCommands({});
    setMinimumWidth(380);
}

fileops::RenameCommands TRenameDlg::commands() const {
    fileops::RenameCommands c;
    c.prefix = Edit3->text().toStdString();
    c.suffix = Edit4->text().toStdString();
    c.remove = RemoveCheckBox->isChecked();
    c.firstPosition = SpinEdit1->value();
    c.number = SpinEdit2->value();
    c.newExtensionOn = ExtCheckBox->isChecked();
    c.newExtension = Edit5->text().toStdString();
    return c;
}

void TRenameDlg::setCommands(const fileops::RenameCommands& c) {
    Edit3->setText(text(c.prefix));
    Edit4->setText(text(c.suffix));
    RemoveCheckBox->setChecked(c.remove);
    SpinEdit1->setValue(c.firstPosition);
    SpinEdit2->setValue(c.number);
    ExtCheckBox->setChecked(c.newExtensionOn);
    Edit5->setText(text(c.newExtension));
    RemoveCheckBoxClick();
    ExtCheckBoxClick();
}

void TRenameDlg::OKBtnClick() {
    fileops::RenameCommands c = commands();
    const std::optional<std::string> failure = fileops::validateRenameCommands(c);
    // The fields show what is used: trimmed, and the extension without its leading dot.
    setCommands(c);
    if (failure) {
        prompter_.messageBox(fileops::kRenameCaption, *failure, engine::MessageIcon::Exclamation);
        return;
    }
    if (onRename) onRename(c);
}

void TRenameDlg::CancCommButtonClick() { setCommands({}); }

void TRenameDlg::RemoveCheckBoxClick() {
    const bool on = RemoveCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{FirstPositionLabel, SpinEdit1, NumberLabel, SpinEdit2})
        w->setEnabled(on);
}

void TRenameDlg::ExtCheckBoxClick() { Edit5->setEnabled(ExtCheckBox->isChecked()); }

void TRenameDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit3->setFocus(Qt::OtherFocusReason);
}

}  // namespace vsr::ui
