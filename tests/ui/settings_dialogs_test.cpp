#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/prompt/qt_prompter.h"
#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/dialogs/mask_form.h"
#include "ui/dialogs/path_ignore_dialog.h"
#include "ui/dialogs/settings_dialog.h"

namespace vsr::ui {
namespace {

class FakeDialogPrompter : public WindowPrompter {
public:
    void messageBox(const std::string&, const std::string&, engine::MessageIcon) override {}
    std::string openProgram(const std::string& start) override {
        programStarts.push_back(start);
        return programAnswer;
    }
    std::string selectFolder(const std::string& title, const std::string& start) override {
        folderTitles.push_back(title);
        folderStarts.push_back(start);
        return folderAnswer;
    }
    std::string saveListFile(const std::string& start) override {
        saveStarts.push_back(start);
        return saveAnswer;
    }
    int runModal(QDialog& dialog) override {
        modals.push_back(dialog.objectName());
        return QDialog::Rejected;
    }
    std::string programAnswer, folderAnswer, saveAnswer;
    std::vector<std::string> saveStarts;
    std::vector<QString> modals;
    std::vector<std::string> programStarts, folderTitles, folderStarts;
};

class SettingsDialogs : public ::testing::Test {
protected:
    
    FakeDialogPrompter prompter;
    TPathIgnoreDlg paths{&prompter};
    TFileIgnoreDlg files;
    TSettDlg settings{&paths, &files, &prompter};
};

// Every way of leaving a dialog other than OK.
const std::vector<std::pair<const char*, std::function<void(QDialog&)>>> kDismissals = {
    {"Cancel", [](QDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton); }},
    {"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
    {"close box", [](QDialog& d) { d.close(); }},
};

TEST_F(SettingsDialogs, FirstStartValues) {
    settings::DialogSettings d = settings.values();
    EXPECT_EQ(settings.BrowseComboBox->currentText(), "5");
    EXPECT_EQ(settings.BrowseComboBox->count(), 11);
    EXPECT_EQ(settings.ThreadsComboBox->currentText(), "Automatic");
    EXPECT_EQ(settings.searchThreads(), 0);
    // UTF-8 and the five single-byte pages; the window gives it the locale's on a first start.
    EXPECT_EQ(settings.TextEncodingComboBox->count(), 6);
    EXPECT_EQ(settings.TextEncodingComboBox->itemText(0), "UTF-8");
    EXPECT_TRUE(settings.UnXPRadioButton->isChecked());  // the platform's own line break
    EXPECT_EQ(settings.lineSeparator(), "\n");
    EXPECT_FALSE(d.ignorePathsXPCh || d.ignoreFilesXPCh || d.readOnly || d.replaceHiddenCheckBox || d.ignoreSubFoldXPCh);
    EXPECT_EQ(settings.windowTitle(), "Settings");
    EXPECT_EQ(paths.windowTitle(), "Directory Ignore List");
    EXPECT_EQ(files.windowTitle(), "File Ignore List");
}

TEST_F(SettingsDialogs, OnlyOkKeepsChangedValues) {
    settings::DialogSettings start;
    start.editorA = "\"/usr/bin/kate\" \"%PrFullName%\"";
    start.winXPRadioButton = true;
    start.unXPRadioButton = false;
    start.browseComboBox = 5;
    start.searchThreads = 5;  // not among the choices: shown in its place among them
    start.textEncoding = platform::CodePageId::Windows1251;
    start.ignoreFilesXPCh = true;
    for (const auto& [how, dismiss] : kDismissals) {
        SCOPED_TRACE(how);
        settings.setValues(start);
        settings.show();
        settings.UnXPRadioButton->click();
        settings.EditorEdit->setText("other");
        settings.BrowseComboBox->setCurrentIndex(10);
        settings.ThreadsComboBox->setCurrentIndex(1);
        settings.TextEncodingComboBox->setCurrentIndex(0);
        settings.IgnorePathsXPCheck->click();
        settings.IgnoreFilesXPCheck->click();
        settings.IndexFolderXPCheck->click();
        settings.ReadOnly->click();
        settings.ReplaceHiddenCheckBox->click();
        dismiss(settings);
        EXPECT_FALSE(settings.isVisible());
        EXPECT_EQ(settings.values(), start);
        EXPECT_EQ(settings.lineSeparator(), "\r\n");
        EXPECT_EQ(settings.TextEncodingComboBox->currentText(), "Windows-1251 (Cyrillic)");
        const int threads = settings.ThreadsComboBox->currentIndex();
        EXPECT_EQ(settings.ThreadsComboBox->itemText(threads - 1), "4");
        EXPECT_EQ(settings.ThreadsComboBox->itemText(threads + 1), "6");
    }
    settings.show();
    settings.MacXPRadioButton->click();
    settings.ReadOnly->click();
    settings.TextEncodingComboBox->setCurrentIndex(settings.TextEncodingComboBox->findText("UTF-8"));
    QTest::mouseClick(settings.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(settings.result(), QDialog::Accepted);
    EXPECT_EQ(settings.lineSeparator(), "\r");
    EXPECT_TRUE(settings.values().readOnly);
    EXPECT_EQ(settings.textEncoding(), platform::CodePageId::Utf8);
    // The next Cancel goes back to what OK accepted, not to the first values.
    settings.show();
    settings.WinXPRadioButton->click();
    settings.reject();
    EXPECT_EQ(settings.lineSeparator(), "\r");
}

TEST_F(SettingsDialogs, EditListFollowsItsCheckBox) {
    settings::DialogSettings d;
    d.ignoreFilesXPCh = true;
    settings.setValues(d);
    settings.show();
    EXPECT_FALSE(settings.EditPathsXPButton->isEnabled());
    EXPECT_TRUE(settings.EditFilesXPButton->isEnabled());
    settings.IgnorePathsXPCheck->click();
    EXPECT_TRUE(settings.EditPathsXPButton->isEnabled());
    settings.IgnoreFilesXPCheck->click();
    EXPECT_FALSE(settings.EditFilesXPButton->isEnabled());
    settings.EditPathsXPButton->click();
    EXPECT_EQ(prompter.modals, (std::vector<QString>{"TPathIgnoreDlg"}));
    settings.reject();
    EXPECT_FALSE(settings.EditPathsXPButton->isEnabled());
    EXPECT_TRUE(settings.EditFilesXPButton->isEnabled());
}

TEST_F(SettingsDialogs, OkHasTheFocusOnShowing) {
    settings.show();
    QApplication::setActiveWindow(&settings);
    EXPECT_EQ(settings.focusWidget(), settings.findChild<QPushButton*>("OKBtn"));
    settings.reject();
}

// At the size it opens with, every label and every choice of every combo box shows whole, with the
// desktop's font and a larger one.
TEST_F(SettingsDialogs, LabelsAndChoicesShowWholeAtTheOpeningSize) {
    for (const int points : {0, 14}) {
        TSettDlg dialog{&paths, &files, &prompter};
        if (points > 0) {
            QFont larger = dialog.font();
            larger.setPointSize(points);
            dialog.setFont(larger);
        }
        dialog.show();
        QApplication::processEvents();
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString() << " at " << points;
        }
        for (QComboBox* combo : dialog.findChildren<QComboBox*>()) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.rect = combo->rect();
            const int field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_GE(field, combo->fontMetrics().horizontalAdvance(combo->itemText(i)))
                    << combo->objectName().toStdString() << ": " << combo->itemText(i).toStdString() << " at " << points;
            }
        }
        dialog.reject();
    }
}

TEST_F(SettingsDialogs, BrowseMakesAQuotedCommandWithTheFullNamePlaceholder) {
    settings.EditorEdit->setText("before");
    settings.initialDirOpenEditor = "/opt";
    settings.Button2Click();  // cancelled: nothing changes
    EXPECT_EQ(settings.editorCommand(), "before");
    ASSERT_EQ(prompter.programStarts.size(), 1u);
    EXPECT_EQ(prompter.programStarts[0], "/opt");

    prompter.programAnswer = "/usr/local/bin/my editor";
    settings.Button2Click();
    EXPECT_EQ(settings.editorCommand(), "\"/usr/local/bin/my editor\" \"%PrFullName%\"");
    EXPECT_EQ(settings.initialDirOpenEditor, "/usr/local/bin");
}

TEST_F(SettingsDialogs, PlaceholdersReplaceTheSelectionOrGoToTheCaret) {
    settings.EditorEdit->setText("edit -n FILE");
    settings.EditorEdit->setCursorPosition(8);
    settings.insertPlaceholder("%NumLine%");
    EXPECT_EQ(settings.editorCommand(), "edit -n %NumLine%FILE");

    settings.EditorEdit->setText("edit -n FILE");
    settings.EditorEdit->setSelection(8, 4);
    settings.insertPlaceholder("%PrFullName%");
    EXPECT_EQ(settings.editorCommand(), "edit -n %PrFullName%");

    // Through the menu: the selection seen when it opened is the one replaced.
    settings.show();
    settings.EditorEdit->setText("a B c");
    settings.EditorEdit->setSelection(2, 1);
    QTest::mouseClick(settings.XPButtonEditor, Qt::LeftButton);
    settings.EditorEdit->deselect();
    QList<QAction*> actions = settings.PopupMenuEditor->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[2]->text(), "%PrName%");
    actions[2]->trigger();
    settings.PopupMenuEditor->hide();
    EXPECT_EQ(settings.editorCommand(), "a %PrName% c");
    settings.reject();
}

TEST_F(SettingsDialogs, F1OpensTheHelpTopics) {
    std::vector<QString> topics;
    for (RevertingDialog* d : std::initializer_list<RevertingDialog*>{&settings, &paths, &files})
        d->setHelpOpener([&](const QString& t) { topics.push_back(t); });
    for (RevertingDialog* d : std::initializer_list<RevertingDialog*>{&settings, &paths, &files}) {
        d->show();
        QTest::keyClick(d, Qt::Key_F1);
        d->reject();
    }
    EXPECT_EQ(topics, (std::vector<QString>{"Manual/Settings.htm", "Manual/Settings.htm#IgnoreLists",
                                            "Manual/Settings.htm#IgnoreLists"}));
}

TEST_F(SettingsDialogs, IgnoreListsPutTheirTextBackUnlessOk) {
    for (const auto& [how, dismiss] : kDismissals) {
        SCOPED_TRACE(how);
        paths.setListText("/a\n/b/*");
        paths.setIgnoreSubfolders(true);
        paths.show();
        paths.PathsMemo->setPlainText("changed");
        paths.IgnoreSubFoldXPCheck->click();
        dismiss(paths);
        EXPECT_EQ(paths.listText(), "/a\n/b/*");
        EXPECT_TRUE(paths.ignoreSubfolders());

        files.setListText("*.o\n*.tmp");
        files.show();
        files.FilesMemo->setPlainText("");
        dismiss(files);
        EXPECT_EQ(files.listText(), "*.o\n*.tmp");
    }
    files.show();
    files.FilesMemo->setPlainText("*.bak");
    QTest::mouseClick(files.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(files.listText(), "*.bak");
    // The lists travel with the settings record.
    EXPECT_EQ(settings.values().fileIgnoreList, "*.bak");
    EXPECT_EQ(settings.values().directIgnoreList, "/a\n/b/*");
}

TEST_F(SettingsDialogs, PickedFolderReplacesTheCaretLine) {
    paths.setListText("/one\n/two\n/three\n/four");
    QTextCursor cursor(paths.PathsMemo->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    paths.PathsMemo->setTextCursor(cursor);

    paths.initialDirwIgnPath = "";
    paths.XPButton1Click();  // cancelled
    EXPECT_EQ(paths.listText(), "/one\n/two\n/three\n/four");
    ASSERT_EQ(prompter.folderTitles.size(), 1u);
    EXPECT_EQ(prompter.folderTitles[0], "Select the directory");
    EXPECT_FALSE(prompter.folderStarts[0].empty());  // the current folder when none is stored

    prompter.folderAnswer = "/picked/folder";
    paths.initialDirwIgnPath = "/stored";
    paths.XPButton1Click();
    EXPECT_EQ(prompter.folderStarts[1], "/stored");
    EXPECT_EQ(paths.listText(), "/one\n/two\n/picked/folder\n/four");
    EXPECT_EQ(paths.initialDirwIgnPath, "/picked/folder");
}

TEST(ProgramOpenDialog, ATypedPathOfAProgramIsTakenAsItIs) {
    namespace fs = std::filesystem;
    vsr::test::TempDir dir;
    const fs::path tool = dir.write("tool", "#!/bin/sh\n");
    fs::permissions(tool, fs::perms::owner_exec, fs::perm_options::add);
    fs::create_symlink(tool, dir.path() / "link");
    for (const fs::path& typed : {tool, dir.path() / "link"}) {
        SCOPED_TRACE(typed.string());
        std::unique_ptr<QFileDialog> dialog = programOpenDialog(nullptr, dir.str());
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->show();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(typed.string()));
        // A refused name opens a warning box; close it so the test reports instead of waiting.
        QString refusal;
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                refusal = box->text();
                box->reject();
            }
        });
        guard.start(50);
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(refusal, QString());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->selectedFiles(), QStringList{QString::fromStdString(typed.string())});
    }
}

TEST(MaskForm, StartsWithAllFilesAndKeepsTheLastMask) {
    TMaskForm form;
    EXPECT_EQ(form.windowTitle(), "Mask");
    EXPECT_EQ(form.mask(), "*.*");
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(form.focusWidget(), form.OKBtn);
    form.Edit1->setText("a?");
    QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    form.show();
    EXPECT_EQ(form.mask(), "a?");
    form.reject();
}

}  // namespace
}  // namespace vsr::ui
