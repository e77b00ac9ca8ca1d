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
    EXPECT_EQ(w->MasksComboBox->currentText(), QStringLiteral("*.*"));
    ASSERT_EQ(w->MasksComboBox->count(), 2);
    EXPECT_EQ(w->MasksComboBox->itemText(0), QStringLiteral("*.html; *.htm"));
    EXPECT_EQ(w->MasksComboBox->itemText(1), QStringLiteral("*.txt"));
    EXPECT_TRUE(w->PhraseButton->isChecked());
    EXPECT_TRUE(w->ReplaceButton->isChecked());
    EXPECT_TRUE(w->CreatBackupCheckBox->isChecked());
    EXPECT_TRUE(w->IncludeSubdirectoriesCheckBox->isChecked());
    EXPECT_TRUE(w->TrimLeftCheckBox->isChecked());
    EXPECT_TRUE(w->TrimRightCheckBox->isChecked());
    EXPECT_EQ(w->SizeSpinEdit->value(), 100);
    EXPECT_EQ(w->KBComboBox->currentText(), QStringLiteral("KB"));
    EXPECT_EQ(w->DaysAgoSpinEdit->value(), 2);
    EXPECT_EQ(w->MaxDateTimePicker->date(), QDate(2026, 3, 31));
    EXPECT_EQ(w->MinDateTimePicker->date(), QDate(2025, 3, 31));
    EXPECT_EQ(w->PageControl1->currentWidget(), w->FindTab);
    EXPECT_FALSE(w->ComboBoxPath->currentText().isEmpty());
    // Replace is the first-start modification, so the replacement field takes text.
    EXPECT_TRUE(w->Edit2->isEnabled());
}

TEST_F(WindowTest, ConditionsSurviveARestart) {
    {
        auto w = makeWindow(96, true);
        w->ComboBoxPath->setEditText(QString::fromStdString(files.str()));
        w->MasksComboBox->setEditText(QStringLiteral("*.c; *.h"));
        w->TextButton->click();
        w->FindMemo->setPlainText(QStringLiteral("first line\nsecond line\n"));
        w->SensitiveCheckBox->setChecked(true);
        w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
        w->RegExpSearch->click();
        w->InsertAfterButton->click();
        w->Memo2->setPlainText(QStringLiteral("added"));
        w->SearchEdit->setEditText(QStringLiteral("one-line search"));
        w->PageControl1->setCurrentWidget(w->OptionsTab);
        w->AllSizeCheckBox->setChecked(true);
        w->AllLeastRadioButton->setChecked(true);
        w->SizeSpinEdit->setValue(7);
        w->KBComboBox->setCurrentIndex(1);
        w->AllDateCheckBox->setChecked(true);
        w->NewestRadioButton->setChecked(true);
        w->DaysAgoSpinEdit->setValue(9);
        w->MinDateTimePicker->setDate(QDate(2020, 2, 29));
        w->IncludeSubdirectoriesCheckBox->setChecked(false);
        w->RegExprXPCheckBox->setChecked(true);
        w->ModifyXPCheckBox->setChecked(true);
        w->close();
    }
    auto w = makeWindow(96, true);
    EXPECT_EQ(w->ComboBoxPath->currentText().toStdString(), files.str());
    EXPECT_EQ(w->MasksComboBox->currentText(), QStringLiteral("*.c; *.h"));
    EXPECT_TRUE(w->TextButton->isChecked());
    EXPECT_EQ(w->FindMemo->toPlainText(), QStringLiteral("first line\nsecond line\n"));
    EXPECT_TRUE(w->SensitiveCheckBox->isChecked());
    EXPECT_TRUE(w->RegExpSearch->isChecked());
    EXPECT_TRUE(w->InsertAfterButton->isChecked());
    EXPECT_EQ(w->Memo2->toPlainText(), QStringLiteral("added"));
    EXPECT_EQ(w->SearchEdit->currentText(), QStringLiteral("one-line search"));
    EXPECT_TRUE(w->AllSizeCheckBox->isChecked());
    EXPECT_TRUE(w->AllLeastRadioButton->isChecked());
    EXPECT_EQ(w->SizeSpinEdit->value(), 7);
    EXPECT_EQ(w->KBComboBox->currentIndex(), 1);
    EXPECT_TRUE(w->NewestRadioButton->isChecked());
    EXPECT_EQ(w->DaysAgoSpinEdit->value(), 9);
    EXPECT_EQ(w->MinDateTimePicker->date(), QDate(2020, 2, 29));
    EXPECT_FALSE(w->IncludeSubdirectoriesCheckBox->isChecked());
    EXPECT_TRUE(w->ModifyXPCheckBox->isChecked());
    EXPECT_TRUE(w->ModifyXPCheckBox->isEnabled());
    // The Options tab was the last one shown; its rules hold for the loaded values.
    EXPECT_EQ(w->PageControl1->currentWidget(), w->OptionsTab);
    EXPECT_EQ(w->PageControl1->height(), 301);
    EXPECT_TRUE(w->DaysAgoSpinEdit->isEnabled());
    EXPECT_FALSE(w->MinDateTimePicker->isEnabled());
    // Reg Expr on the Search and Replace tab shows the memos.
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    EXPECT_TRUE(w->SearchMemo->isVisible());
    EXPECT_FALSE(w->ReplaceSpacesButton->isEnabled());
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
        w->FindEditComboBox->setEditText(QStringLiteral("beta"));
        search(*w, files.str());
        w->FindEditComboBox->setEditText(QStringLiteral("alpha"));
        search(*w, files.str());
        ASSERT_EQ(rows(*w), 1);
        w->resize(760, w->height() + 60);  // with its frame, within the 800 pixels of the test screen
        height = w->height();
        w->ApplicationEvents1Idle();
        w->close();
    }
    auto w = makeWindow(96, true);
    ASSERT_GE(w->FindEditComboBox->count(), 2);
    EXPECT_EQ(w->FindEditComboBox->itemText(0), QStringLiteral("alpha"));
    EXPECT_EQ(w->FindEditComboBox->itemText(1), QStringLiteral("beta"));
    EXPECT_EQ(w->width(), 760);
    // The list is hidden after a restart; the next search brings the remembered height back.
    EXPECT_FALSE(w->Splitter1->isVisible());
    search(*w, files.str());
    EXPECT_EQ(w->height(), height);
}

}  // namespace
}  // namespace vsr::ui::test
