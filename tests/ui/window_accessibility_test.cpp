// What a screen reader finds in the window: every control named, labels naming their fields,
// the Lines Viewer's lines as items of a list, and Tab entering a radio group on its checked
// button.
#include <QAccessible>
#include <QAccessibleInterface>

#include "ui/lines/lines_viewer.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

// Roles a user operates; each must say what it is for.
bool isControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::Table:
        case QAccessible::PageTab:
        case QAccessible::ListItem:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::MenuItem:
            return true;
        default:
            return false;
    }
}

std::string describe(QAccessibleInterface* iface) {
    QObject* o = iface->object();
    return (o ? o->objectName().toStdString() : std::string("(item)")) + " role " +
           std::to_string(int(iface->role()));
}

// Walks the tree below `iface` and names every control without a name; item views' rows and
// cells name themselves from their data and are left out. A combo box is announced by its
// label and its text on Linux: a label does for its name.
void collectUnnamed(QAccessibleInterface* iface, std::vector<std::string>& unnamed, int depth = 0) {
    ASSERT_LT(depth, 40);
    const bool labelled = iface->role() == QAccessible::ComboBox && !iface->relations(QAccessible::Label).isEmpty();
    if (isControl(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty() && !labelled)
        unnamed.push_back(describe(iface));
    if (iface->role() == QAccessible::Tree || iface->role() == QAccessible::Table) return;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* child = iface->child(i)) collectUnnamed(child, unnamed, depth + 1);
}

QString nameOf(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }

// The label a field is announced with ("labelled by").
QString labelOf(QObject* o) {
    for (const auto& [other, relation] : QAccessible::queryAccessibleInterface(o)->relations(QAccessible::Label))
        return other->text(QAccessible::Name);
    return {};
}

TEST_F(WindowTest, EveryControlOnEveryTabHasAName) {
    files.write("a.txt", "one\nalpha beta\nthree\nalpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    settleBrowsing(*w);
    for (QWidget* tab :
         {control<QWidget>(w, "FindTab"), control<QWidget>(w, "SearchReplaceTab"), control<QWidget>(w, "OptionsTab")}) {
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(tab);
        for (QRadioButton* multi : {control<QRadioButton>(w, "TextButton"), control<QRadioButton>(w, "PhraseButton")}) {
            multi->setChecked(true);
            std::vector<std::string> unnamed;
            collectUnnamed(QAccessible::queryAccessibleInterface(w.get()), unnamed);
            EXPECT_TRUE(unnamed.empty()) << tab->objectName().toStdString() << ": " << ::testing::PrintToString(unnamed);
        }
    }
    // Fields take their names from their labels, not from the text typed into them.
    const struct {
        QWidget* field;
        const char* name;
        QLabel* label;
    } fields[] = {
        {control<QComboBox>(w, "ComboBoxPath"), "Path", control<QLabel>(w, "PathLabel")},
        {control<QComboBox>(w, "MasksComboBox"), "Masks", control<QLabel>(w, "MasksLabel")},
        {control<QComboBox>(w, "FindEditComboBox"), "Query", control<QLabel>(w, "QueryLabel")},
        {control<QComboBox>(w, "SearchEdit"), "Search", control<QLabel>(w, "SearchLabel")},
        {control<QComboBox>(w, "Edit2"), "Replace or Insert To", control<QLabel>(w, "ReplaceLabel")},
        {control<QPlainTextEdit>(w, "FindMemo"), "Query", nullptr},
        {control<QPlainTextEdit>(w, "SearchMemo"), "Search", nullptr},
        {control<QPlainTextEdit>(w, "Memo2"), "Replace or Insert To", nullptr},
        {control<QSpinBox>(w, "SizeSpinEdit"), "File size", control<QLabel>(w, "SizeLabel")},
        {control<QSpinBox>(w, "DaysAgoSpinEdit"), "Modified days ago", control<QLabel>(w, "DaysAgoLabel")},
        {control<QToolButton>(w, "StopSearch"), "Stop", nullptr},
        {control<QToolButton>(w, "UndoReplaceBit"), "Undo", nullptr},
        {control<QTreeView>(w, "ListView1"), "Results", nullptr},
        {control<LinesViewer>(w, "ListBox1"), "Lines Viewer", nullptr},
    };
    for (const auto& f : fields) {
        // What a screen reader says of a combo box is its edit field's name.
        auto* combo = qobject_cast<QComboBox*>(f.field);
        QWidget* named = combo ? combo->lineEdit() : f.field;
        EXPECT_EQ(nameOf(named), QString::fromUtf8(f.name)) << f.field->objectName().toStdString();
        if (f.label) {
            EXPECT_EQ(labelOf(f.field), f.label->text()) << f.field->objectName().toStdString();
        }
    }
    EXPECT_NE(nameOf(control<QDateEdit>(w, "MinDateTimePicker")), nameOf(control<QDateEdit>(w, "MaxDateTimePicker")));
    // The settings dialog's two "Edit List..." buttons are told apart.
    TSettDlg& settings = w->settingsDialogs().settings();
    EXPECT_NE(nameOf(settings.EditPathsXPButton), nameOf(settings.EditFilesXPButton));
    // So does every dialog the window keeps.
    for (QDialog* dialog : w->findChildren<QDialog*>()) {
        std::vector<std::string> unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
        EXPECT_TRUE(unnamed.empty()) << dialog->objectName().toStdString() << ": " << ::testing::PrintToString(unnamed);
    }
}

TEST_F(WindowTest, TheLinesViewerReadsItsLinesAsAList) {
    files.write("a.txt", "one\nalpha beta\nthree\nalpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    settleBrowsing(*w);
    LinesViewer& viewer = *control<LinesViewer>(w, "ListBox1");
    ASSERT_EQ(viewer.count(), 3);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&viewer);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    const QStringList expected = {QStringLiteral("File:  a.txt      Path:  ") + QString::fromStdString(files.str()),
                                  QStringLiteral("line 2: alpha beta"), QStringLiteral("line 4: alpha")};
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* item = list->child(i);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->text(QAccessible::Name), expected[i]);
        EXPECT_EQ(item->parent(), list);
        EXPECT_EQ(list->indexOfChild(item), i);
        // The same item is found again by index and by where it is drawn.
        EXPECT_EQ(list->child(i), item);
        EXPECT_EQ(list->childAt(item->rect().center().x(), item->rect().center().y()), item);
    }
    viewer.setCurrentIndex(2);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(1)->state().selected);
    EXPECT_EQ(list->focusChild(), list->child(2));
    // A new fill gives new items; the old ones are gone, not left pointing at other lines.
    QAccessibleInterface* before = list->child(1);
    const QAccessible::Id beforeId = QAccessible::uniqueId(before);
    viewer.clear();
    EXPECT_EQ(list->childCount(), 0);
    EXPECT_EQ(list->child(0), nullptr);
    viewer.content().start(0, "/d", "f.txt");
    viewer.content().addLine(7, "other", false);
    viewer.contentChanged();
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(QAccessible::accessibleInterface(beforeId), nullptr);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("line 7: other"));
}

TEST_F(WindowTest, TabEntersARadioGroupOnItsCheckedButtonAndLeavesWithTheNext) {
    auto w = makeWindow();
    control<QRadioButton>(w, "WordsandButton")->setChecked(true);
    const QList<QAbstractButton*> group = control<QButtonGroup>(w, "QueryTypeGroup")->buttons();
    auto inGroup = [&](QWidget* widget) { return group.contains(qobject_cast<QAbstractButton*>(widget)); };
    // From the query field back into the group, and on out of it.
    control<QComboBox>(w, "FindEditComboBox")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return control<QComboBox>(w, "FindEditComboBox")->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), control<QRadioButton>(w, "WordsandButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_FALSE(inGroup(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QRadioButton>(w, "WordsandButton"));
    // The arrows choose within the group, and the next Tab starts from the new choice.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), control<QRadioButton>(w, "AltaVistaButton"));
    EXPECT_TRUE(control<QRadioButton>(w, "AltaVistaButton")->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(inGroup(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), control<QRadioButton>(w, "AltaVistaButton"));
}

}  // namespace
}  // namespace vsr::ui::test
