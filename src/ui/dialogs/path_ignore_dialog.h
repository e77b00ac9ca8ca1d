#pragma once
#include <string>

#include "platform/linux/byte_lines.h"
#include "ui/dialogs/reverting_dialog.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace vsr::ui {

class WindowPrompter;

// "Directory Ignore List": one folder path (wildcards allowed) per line, and whether the
// subfolders of a listed folder are skipped too.
class TPathIgnoreDlg : public RevertingDialog {
    Q_OBJECT
public:
    explicit TPathIgnoreDlg(WindowPrompter* prompter, QWidget* parent = nullptr);

    // The list with "\n" between lines.
    std::string listText() const;
    void setListText(const std::string& text);
    // The list as last accepted: while the dialog is open, the one it was opened with.
    std::string acceptedListText() const;
    bool ignoreSubfolders() const;
    void setIgnoreSubfolders(bool on);
    bool acceptedIgnoreSubfolders() const;

    // "Browse...": the picked folder replaces the line that holds the caret.
    void XPButton1Click();

    // Where the folder picker starts; the last picked folder ("InitialDirwIgnPath").
    std::string initialDirwIgnPath;

    QPlainTextEdit* PathsMemo = nullptr;
    QPushButton* XPButton1 = nullptr;
    QCheckBox* IgnoreSubFoldXPCheck = nullptr;

protected:
    void remember() override;
    void restore() override;

private:
    WindowPrompter* prompter_;
    QString savedText_;
    // Names as the file system has them, also bytes that are not UTF-8.
    platform::ByteLines bytes_;
    bool savedSubfolders_ = false;
};

}  // namespace vsr::ui
