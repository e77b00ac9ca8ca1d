#include "ui/window/window_accessibility.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QAbstractItemView>
#include <QDateEdit>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "ui/widgets/busy_indicator.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"
#include "ui/widgets/radio_focus.h"

namespace vsr::ui {

namespace {

void name(QWidget* w, const char* text, const char* description = nullptr) {
    w->setAccessibleName(QString::fromUtf8(text));
    if (description) w->setAccessibleDescription(QString::fromUtf8(description));
}

}  // namespace

void nameComboBox(QComboBox* combo, const QString& text) {
    combo->setAccessibleName(text);
    if (QLineEdit* edit = combo->lineEdit()) edit->setAccessibleName(text);
    combo->view()->setAccessibleName(text + QStringLiteral(" choices"));
}

void nameWindowControls(TFind& w) {
    // A label with a buddy lends the field its name (and its relation "labelled by"); the
    // names are set as well, since an editable combo box would otherwise be called by its text.
    w.PathLabel->setBuddy(w.ComboBoxPath);
    w.MasksLabel->setBuddy(w.MasksComboBox);
    w.QueryLabel->setBuddy(w.FindEditComboBox);
    w.SearchLabel->setBuddy(w.SearchEdit);
    w.ReplaceLabel->setBuddy(w.Edit2);
    w.SizeLabel->setBuddy(w.SizeSpinEdit);
    w.DaysAgoLabel->setBuddy(w.DaysAgoSpinEdit);
    nameComboBox(w.ComboBoxPath, QStringLiteral("Path"));
    nameComboBox(w.MasksComboBox, QStringLiteral("Masks"));
    nameComboBox(w.FindEditComboBox, QStringLiteral("Query"));
    name(w.FindMemo, "Query");
    nameComboBox(w.SearchEdit, QStringLiteral("Search"));
    name(w.SearchMemo, "Search");
    // The three stacked labels read as one caption.
    nameComboBox(w.Edit2, QStringLiteral("Replace or Insert To"));
    name(w.Memo2, "Replace or Insert To");

    name(w.StopSearch, "Stop");
    name(w.UndoReplaceBit, "Undo");
    name(w.Animate1, "Busy");
    name(w.ListView1, "Results");
    name(w.ListBox1, "Lines Viewer");

    name(w.SizeSpinEdit, "File size");
    nameComboBox(w.KBComboBox, QStringLiteral("File size unit"));
    name(w.MinDateTimePicker, "Modified from");
    name(w.MaxDateTimePicker, "Modified until");
    name(w.DaysAgoSpinEdit, "Modified days ago");

    for (QButtonGroup* group : {w.QueryTypeGroup, w.SearchTypeGroup, w.ModificationTypeGroup,
                                w.AllLeastRadioButton->group(), w.BetweenRadioButton->group()})
        tabToCheckedButton(group);
}

}  // namespace vsr::ui
