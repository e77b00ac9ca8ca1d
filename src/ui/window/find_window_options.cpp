// The Options tab: the filters and the per-query-type options of a run.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/window/find_window.h"
#include "ui/window/window_environment.h"
#include "ui/common/object_names.h"

namespace vsr::ui {

namespace {

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
    return named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

QGroupBox* box(QWidget* parent, const char* name, const char* title) {
    return named(new QGroupBox(QString::fromUtf8(title), parent), name);
}

QDateEdit* datePicker(QWidget* parent, const char* name, const platform::CivilDate& today) {
    auto* picker = named(new QDateEdit(parent), name);
    picker->setCalendarPopup(true);
    // A month name makes the picker too wide for the tab; numbers say the same.
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (format.contains(QStringLiteral("MMM"))) format = QStringLiteral("yyyy-MM-dd");
    picker->setDisplayFormat(format);
    picker->setDate(QDate(today.year, today.month, today.day));
    return picker;
}

}  // namespace

void TFind::composeOptionsTab() {
    OptionsTab = named(new QWidget, "OptionsTab");
    auto* columns = new QHBoxLayout(OptionsTab);
    const int gap = metrics_.s(6);
    columns->setContentsMargins(gap, gap, gap, gap);
    columns->setSpacing(metrics_.s(8));
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    left->setSpacing(gap);
    right->setSpacing(gap);
    // The right column keeps its natural width; the date and size rows take the rest.
    columns->addLayout(left, 1);
    columns->addLayout(right, 0);

    // Walk and backups.
    auto* general = box(OptionsTab, "GeneralBox", "Search");
    auto* generalRow = new QVBoxLayout(general);
    IncludeSubdirectoriesCheckBox =
        check(general, "IncludeSubdirectoriesCheckBox", "Include Subfolders: For searching");
    CreatBackupCheckBox = check(general, "CreatBackupCheckBox", "Create Backups");
    generalRow->addWidget(IncludeSubdirectoriesCheckBox);
    generalRow->addWidget(CreatBackupCheckBox);
    left->addWidget(general);

    // File size filter.
    auto* sizeBox = box(OptionsTab, "SizeBox", "");
    auto* sizeGrid = new QGridLayout(sizeBox);
    AllSizeCheckBox = check(sizeBox, "AllSizeCheckBox", "File Size ");
    SizeLabel = named(new QLabel(QStringLiteral("Size:"), sizeBox), "SizeLabel");
    auto* sizeKinds = new QButtonGroup(this);
    AllLeastRadioButton = named(new QRadioButton(QStringLiteral("Minimum"), sizeBox), "AllLeastRadioButton");
    AllMostRadioButton = named(new QRadioButton(QStringLiteral("Maximum"), sizeBox), "AllMostRadioButton");
    sizeKinds->addButton(AllLeastRadioButton);
    sizeKinds->addButton(AllMostRadioButton);
    AllMostRadioButton->setChecked(true);
    SizeSpinEdit = named(new QSpinBox(sizeBox), "SizeSpinEdit");
    SizeSpinEdit->setRange(0, 9999999);
    SizeSpinEdit->setValue(100);
    KBComboBox = named(new QComboBox(sizeBox), "KBComboBox");
    KBComboBox->addItems({QStringLiteral("KB"), QStringLiteral("MB")});
    sizeGrid->addWidget(AllSizeCheckBox, 0, 0, 1, 2);
    sizeGrid->addWidget(SizeLabel, 0, 2, 1, 2, Qt::AlignRight);
    sizeGrid->addWidget(AllLeastRadioButton, 1, 0);
    sizeGrid->addWidget(AllMostRadioButton, 1, 1);
    sizeGrid->addWidget(SizeSpinEdit, 1, 2);
    sizeGrid->addWidget(KBComboBox, 1, 3);
    sizeGrid->setColumnStretch(4, 1);
    left->addWidget(sizeBox);

    // File date filter.
    auto* dateBox = box(OptionsTab, "DateBox", "");
    auto* dateGrid = new QGridLayout(dateBox);
    AllDateCheckBox = check(dateBox, "AllDateCheckBox", "File Date ");
    LastModifiedLabel = named(new QLabel(QStringLiteral("Last Modified:"), dateBox), "LastModifiedLabel");
    auto* dateKinds = new QButtonGroup(this);
    BetweenRadioButton = named(new QRadioButton(QStringLiteral("Between"), dateBox), "BetweenRadioButton");
    NewestRadioButton = named(new QRadioButton(QStringLiteral("Newer than"), dateBox), "NewestRadioButton");
    dateKinds->addButton(BetweenRadioButton);
    dateKinds->addButton(NewestRadioButton);
    BetweenRadioButton->setChecked(true);
    const platform::CivilDate date = today(services_.clock);
    MinDateTimePicker = datePicker(dateBox, "MinDateTimePicker", date);
    AndLabel = named(new QLabel(QStringLiteral("and"), dateBox), "AndLabel");
    MaxDateTimePicker = datePicker(dateBox, "MaxDateTimePicker", date);
    DaysAgoSpinEdit = named(new QSpinBox(dateBox), "DaysAgoSpinEdit");
    DaysAgoSpinEdit->setRange(0, 99999);
    DaysAgoLabel = named(new QLabel(QStringLiteral("days ago"), dateBox), "DaysAgoLabel");
    dateGrid->addWidget(AllDateCheckBox, 0, 0);
    dateGrid->addWidget(LastModifiedLabel, 0, 1, 1, 2);
    dateGrid->addWidget(BetweenRadioButton, 1, 0);
    dateGrid->addWidget(MinDateTimePicker, 1, 1);
    dateGrid->addWidget(AndLabel, 2, 0, Qt::AlignRight);
    dateGrid->addWidget(MaxDateTimePicker, 2, 1);
    dateGrid->addWidget(NewestRadioButton, 3, 0);
    dateGrid->addWidget(DaysAgoSpinEdit, 3, 1);
    dateGrid->addWidget(DaysAgoLabel, 3, 2);
    dateGrid->setColumnStretch(3, 1);
    left->addWidget(dateBox);
    left->addStretch(1);

    auto* multiline = box(OptionsTab, "MultilineBox", "Multiline");
    auto* multilineColumn = new QVBoxLayout(multiline);
    TrimLeftCheckBox = check(multiline, "TrimLeftCheckBox", "Ignore Leading Spaces");
    TrimRightCheckBox = check(multiline, "TrimRightCheckBox", "Ignore Trailing Spaces");
    multilineColumn->addWidget(TrimLeftCheckBox);
    multilineColumn->addWidget(TrimRightCheckBox);
    right->addWidget(multiline);

    auto* regExpr = box(OptionsTab, "RegExprBox", "Reg Expr");
    auto* regExprColumn = new QVBoxLayout(regExpr);
    ExpPointCheckBox = check(regExpr, "ExpPointCheckBox", "\".\" Matches Line Separators Too ");
    ExpSpaceCheckBox = check(regExpr, "ExpSpaceCheckBox", "Ignore Whitespaces in Reg Expr");
    RegExprXPCheckBox = check(regExpr, "RegExprXPCheckBox", "Search within Each Single Line ");
    ModifyXPCheckBox = check(regExpr, "ModifyXPCheckBox", "Use Modification Intervals for the Listed Files");
    for (QCheckBox* c : {ExpPointCheckBox, ExpSpaceCheckBox, RegExprXPCheckBox, ModifyXPCheckBox})
        regExprColumn->addWidget(c);
    right->addWidget(regExpr);

    auto* phrase = box(OptionsTab, "PhraseBox", "Phrase");
    auto* phraseColumn = new QVBoxLayout(phrase);
    PhraseXPCheckBox = check(phrase, "PhraseXPCheckBox", "Use Modification Intervals");
    phraseColumn->addWidget(PhraseXPCheckBox);
    right->addWidget(phrase);
    right->addStretch(1);

    // The tab is 301 pixels high by design: every box is packed tight to fit.
    for (QGroupBox* b : {general, sizeBox, dateBox, multiline, regExpr, phrase}) {
        if (auto* l = b->layout()) {
            l->setContentsMargins(gap, metrics_.s(2), gap, metrics_.s(2));
            l->setSpacing(metrics_.s(1));
            if (auto* grid = qobject_cast<QGridLayout*>(l)) grid->setHorizontalSpacing(metrics_.s(4));
        }
    }
    left->setSpacing(metrics_.s(3));
    right->setSpacing(metrics_.s(3));
    columns->setContentsMargins(metrics_.s(4), metrics_.s(3), metrics_.s(4), metrics_.s(3));
    columns->setSpacing(metrics_.s(4));
    IncludeSubdirectoriesCheckBox->setChecked(true);
    TrimLeftCheckBox->setChecked(true);
    TrimRightCheckBox->setChecked(true);
}

}  // namespace vsr::ui
