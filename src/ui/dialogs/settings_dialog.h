#pragma once
#include <optional>
#include <string>

#include "platform/code_page.h"
#include "settings/stored_settings.h"
#include "ui/dialogs/reverting_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vsr::ui {

class WindowPrompter;
class TFileIgnoreDlg;
class TPathIgnoreDlg;

// "Settings": the editor command, the line separator of modified files, the Browse Context
// size, the search threads, the text encoding, the two ignore lists' switches and whether read-only and hidden
// files are modified.
// Created once at start-up; the search and the modification read its current values.
class TSettDlg : public RevertingDialog {
    Q_OBJECT
public:
    TSettDlg(TPathIgnoreDlg* pathIgnore, TFileIgnoreDlg* fileIgnore, WindowPrompter* prompter,
             QWidget* parent = nullptr);

    // The values of this dialog and of the two ignore-list dialogs, as the store keeps them:
    // while a dialog is open, what it held when it was opened, since only OK accepts.
    settings::DialogSettings values() const;
    void setValues(const settings::DialogSettings& values);

    // The line break written into modified files: "\r\n", "\n" or "\r".
    std::string lineSeparator() const;
    // The editor command with its placeholders.
    std::string editorCommand() const;
    // Index into "1", "2", "3", "5", "10", "15", "20", "30", "50", "100", "All".
    int browseContextIndex() const;
    // "Search threads": the threads that examine file contents, 0 for "Automatic".
    int searchThreads() const;
    // "Text encoding": how typed texts become bytes and how the lines of files are read.
    platform::CodePageId textEncoding() const;
    // "Files that are not UTF-8": the page such a file is read in under UTF-8; none: as bytes.
    std::optional<platform::CodePageId> fallbackEncoding() const;

    // "Browse...": a chosen program becomes the quoted command with the full-name placeholder.
    void Button2Click();
    // Replaces the editor text's selection (or inserts at the caret) with a placeholder.
    void insertPlaceholder(const QString& placeholder);
    void EditPathsXPButtonClick();
    void EditFilesXPButtonClick();

    // Where the program picker starts ("InitialDirOpenEditor").
    std::string initialDirOpenEditor;

    QLineEdit* EditorEdit = nullptr;
    QToolButton* XPButtonEditor = nullptr;
    QMenu* PopupMenuEditor = nullptr;
    QPushButton* Button2 = nullptr;
    QRadioButton* WinXPRadioButton = nullptr;
    QRadioButton* UnXPRadioButton = nullptr;
    QRadioButton* MacXPRadioButton = nullptr;
    QComboBox* BrowseComboBox = nullptr;
    QComboBox* ThreadsComboBox = nullptr;
    QComboBox* TextEncodingComboBox = nullptr;
    QComboBox* FallbackEncodingComboBox = nullptr;
    QCheckBox* IgnorePathsXPCheck = nullptr;
    QPushButton* EditPathsXPButton = nullptr;
    QCheckBox* IgnoreFilesXPCheck = nullptr;
    QCheckBox* GitignoreXPCheck = nullptr;
    QCheckBox* IndexFolderXPCheck = nullptr;
    QPushButton* EditFilesXPButton = nullptr;
    QCheckBox* ReadOnly = nullptr;
    QCheckBox* ReplaceHiddenCheckBox = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void remember() override;
    void restore() override;

private:
    void updateEditListButtons();
    void openPlaceholderMenu();
    // Selects the item of `threads`, adding it when the list lacks it (a value from the file).
    void selectThreads(int threads);
    void selectEncoding(platform::CodePageId id);
    void selectFallback(std::optional<platform::CodePageId> id);
    // The item data of "as bytes" in FallbackEncodingComboBox.
    static constexpr int kAsBytes = -1;

    struct Snapshot {
        QString editor;
        bool win = false, unixSep = false, mac = false;
        int context = 3;
        int threads = 0;
        platform::CodePageId textEncoding = platform::CodePageId::Utf8;
        std::optional<platform::CodePageId> fallbackEncoding = platform::CodePageId::Windows1252;
        bool ignorePaths = false, ignoreFiles = false, gitignore = false, index = false, readOnly = false, hidden = false;
    };
    Snapshot current() const;
    TPathIgnoreDlg* pathIgnore_;
    TFileIgnoreDlg* fileIgnore_;
    WindowPrompter* prompter_;
    Snapshot saved_;
    // The editor text's selection and caret when the placeholder menu was opened.
    int selectionStart_ = -1;
    int selectionLength_ = 0;
    int caret_ = 0;
};

}  // namespace vsr::ui
