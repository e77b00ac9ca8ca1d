// Settings loaded at start and saved at the end: a second window shows what the first left.
#include <sys/stat.h>

#include <filesystem>

#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

namespace fs = std::filesystem;

TEST_F(WindowTest, AFirstStartShowsTheDefaults) {
    // Today comes from the window's clock, so the dates hold even across midnight.
    using namespace std::chrono;
    clock = std::make_unique<platform::FakeClock>();
    clock->setNow(sys_days{2026y / March / 31} + 12h);
    auto w = makeWindow(96, true);
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->currentText(), QStringLiteral("*.*"));
    ASSERT_EQ(control<QComboBox>(w, "MasksComboBox")->count(), 2);
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->itemText(0), QStringLiteral("*.html; *.htm"));
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->itemText(1), QStringLiteral("*.txt"));
    EXPECT_TRUE(control<QRadioButton>(w, "PhraseButton")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, "ReplaceButton")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "CreatBackupCheckBox")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "IncludeSubdirectoriesCheckBox")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "TrimLeftCheckBox")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "TrimRightCheckBox")->isChecked());
    EXPECT_EQ(control<QSpinBox>(w, "SizeSpinEdit")->value(), 100);
    EXPECT_EQ(control<QComboBox>(w, "KBComboBox")->currentText(), QStringLiteral("KB"));
    EXPECT_EQ(control<QSpinBox>(w, "DaysAgoSpinEdit")->value(), 2);
    EXPECT_EQ(control<QDateEdit>(w, "MaxDateTimePicker")->date(), QDate(2026, 3, 31));
    EXPECT_EQ(control<QDateEdit>(w, "MinDateTimePicker")->date(), QDate(2025, 3, 31));
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "FindTab"));
    EXPECT_FALSE(control<QComboBox>(w, "ComboBoxPath")->currentText().isEmpty());
    // Replace is the first-start modification, so the replacement field takes text.
    EXPECT_TRUE(control<QComboBox>(w, "Edit2")->isEnabled());
}

TEST_F(WindowTest, ConditionsSurviveARestart) {
    {
        auto w = makeWindow(96, true);
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.c; *.h"));
        control<QRadioButton>(w, "TextButton")->click();
        control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("first line\nsecond line\n"));
        control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(true);
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QRadioButton>(w, "RegExpSearch")->click();
        control<QRadioButton>(w, "InsertAfterButton")->click();
        control<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("added"));
        control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("one-line search"));
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
        control<QCheckBox>(w, "AllSizeCheckBox")->setChecked(true);
        control<QRadioButton>(w, "AllLeastRadioButton")->setChecked(true);
        control<QSpinBox>(w, "SizeSpinEdit")->setValue(7);
        control<QComboBox>(w, "KBComboBox")->setCurrentIndex(1);
        control<QCheckBox>(w, "AllDateCheckBox")->setChecked(true);
        control<QRadioButton>(w, "NewestRadioButton")->setChecked(true);
        control<QSpinBox>(w, "DaysAgoSpinEdit")->setValue(9);
        control<QDateEdit>(w, "MinDateTimePicker")->setDate(QDate(2020, 2, 29));
        control<QCheckBox>(w, "IncludeSubdirectoriesCheckBox")->setChecked(false);
        control<QCheckBox>(w, "RegExprXPCheckBox")->setChecked(true);
        control<QCheckBox>(w, "ModifyXPCheckBox")->setChecked(true);
        w->close();
    }
    auto w = makeWindow(96, true);
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText().toStdString(), files.str());
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->currentText(), QStringLiteral("*.c; *.h"));
    EXPECT_TRUE(control<QRadioButton>(w, "TextButton")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QStringLiteral("first line\nsecond line\n"));
    EXPECT_TRUE(control<QCheckBox>(w, "SensitiveCheckBox")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, "RegExpSearch")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, "InsertAfterButton")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(w, "Memo2")->toPlainText(), QStringLiteral("added"));
    EXPECT_EQ(control<QComboBox>(w, "SearchEdit")->currentText(), QStringLiteral("one-line search"));
    EXPECT_TRUE(control<QCheckBox>(w, "AllSizeCheckBox")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, "AllLeastRadioButton")->isChecked());
    EXPECT_EQ(control<QSpinBox>(w, "SizeSpinEdit")->value(), 7);
    EXPECT_EQ(control<QComboBox>(w, "KBComboBox")->currentIndex(), 1);
    EXPECT_TRUE(control<QRadioButton>(w, "NewestRadioButton")->isChecked());
    EXPECT_EQ(control<QSpinBox>(w, "DaysAgoSpinEdit")->value(), 9);
    EXPECT_EQ(control<QDateEdit>(w, "MinDateTimePicker")->date(), QDate(2020, 2, 29));
    EXPECT_FALSE(control<QCheckBox>(w, "IncludeSubdirectoriesCheckBox")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "ModifyXPCheckBox")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(w, "ModifyXPCheckBox")->isEnabled());
    // The Options tab was the last one shown; its rules hold for the loaded values.
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "OptionsTab"));
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 301);
    EXPECT_TRUE(control<QSpinBox>(w, "DaysAgoSpinEdit")->isEnabled());
    EXPECT_FALSE(control<QDateEdit>(w, "MinDateTimePicker")->isEnabled());
    // Reg Expr on the Search and Replace tab shows the memos.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_TRUE(control<QPlainTextEdit>(w, "SearchMemo")->isVisible());
    EXPECT_FALSE(control<QRadioButton>(w, "ReplaceSpacesButton")->isEnabled());
}

// Starting and closing the window leaves the ignore lists' files alone, names that are not
// UTF-8 included; a list changed in its dialog keeps the bytes of the lines left as they were.
TEST_F(WindowTest, IgnoreListsKeepTheirBytesAndFilesAcrossARestart) {
    const std::string fileList = "inv\xFF*.txt\r\n*.o\r\n";
    const std::string folderList = "/srv/d\xFF\r\n";
    const fs::path filesTmp = dataDir.write("FileIgnoreList.tmp", fileList);
    const fs::path foldersTmp = dataDir.write("DirectIgnoreList.tmp", folderList);
    auto inode = [](const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_ino;
    };
    const auto filesInode = inode(filesTmp), foldersInode = inode(foldersTmp);
    {
        auto w = makeWindow(96, true);
        EXPECT_EQ(w->settingsDialogs().settings().values().fileIgnoreList, "inv\xFF*.txt\n*.o");
        w->close();
    }
    EXPECT_EQ(inode(filesTmp), filesInode);
    EXPECT_EQ(inode(foldersTmp), foldersInode);
    EXPECT_EQ(vsr::test::readFile(filesTmp), fileList);
    EXPECT_EQ(vsr::test::readFile(foldersTmp), folderList);

    auto w = makeWindow(96, true);
    TFileIgnoreDlg& dialog = w->settingsDialogs().fileIgnore();
    dialog.show();
    dialog.FilesMemo->setPlainText(dialog.FilesMemo->toPlainText() + QStringLiteral("\n*.bak"));
    dialog.accept();
    w->close();
    EXPECT_EQ(vsr::test::readFile(filesTmp), "inv\xFF*.txt\r\n*.o\r\n*.bak\r\n");
}

TEST_F(WindowTest, HistoryAndWindowSizeSurviveARestart) {
    files.write("a.txt", "alpha\n");
    int height = 0;
    {
        auto w = makeWindow(96, true);
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("beta"));
        search(*w, files.str());
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
        search(*w, files.str());
        ASSERT_EQ(rows(*w), 1);
        w->resize(760, w->height() + 60);  // with its frame, within the 800 pixels of the test screen
        height = w->height();
        w->ApplicationEvents1Idle();
        w->close();
    }
    auto w = makeWindow(96, true);
    ASSERT_GE(control<QComboBox>(w, "FindEditComboBox")->count(), 2);
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->itemText(0), QStringLiteral("alpha"));
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->itemText(1), QStringLiteral("beta"));
    EXPECT_EQ(w->width(), 760);
    // The list is hidden after a restart; the next search brings the remembered height back.
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
    search(*w, files.str());
    EXPECT_EQ(w->height(), height);
}

}  // namespace
}  // namespace vsr::ui::test
