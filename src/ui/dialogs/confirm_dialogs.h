#pragma once
#include <QDialog>
#include <vector>

#include "fileops/file_ops_prompter.h"

class QLabel;
class QPushButton;

namespace vsr::ui {

// Result codes of the confirmation dialogs besides Accepted (OK/"Yes") and Rejected ("Cancel").
inline constexpr int kSkipResult = 2;
inline constexpr int kYesToAllResult = 3;

// The answer a confirmation dialog's result code stands for.
fileops::Answer answerOfResult(int result);

// A fixed-size confirmation centred on the screen: up to three lines of text and the buttons
// "Yes" (or "OK"), "Skip", "Yes to All" and "Cancel", of which a question shows some.
class ConfirmDialog : public QDialog {
    Q_OBJECT
public:
    ConfirmDialog(const char* objectName, int lineCount, QWidget* parent);

    // Shows the question's caption, lines (already shortened) and buttons.
    void present(const fileops::Question& question, const std::vector<QString>& lines);
    // The question shown last, with its lines whole.
    const fileops::Question& question() const { return question_; }

    std::vector<QLabel*> Labels;
    QPushButton* OKBtn = nullptr;
    QPushButton* SkipBtn = nullptr;
    QPushButton* YesToAllBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* firstShown() const;
    fileops::Question question_;
};

// "Copy Files" with its replace question; also the rename errors among several files.
class TCopyDlg : public ConfirmDialog {
    Q_OBJECT
public:
    explicit TCopyDlg(QWidget* parent = nullptr) : ConfirmDialog("TCopyDlg", 2, parent) {}
};

// The delete confirmation: one file by name on three lines, or several by number.
class TDelFilesDlg : public ConfirmDialog {
    Q_OBJECT
public:
    explicit TDelFilesDlg(QWidget* parent = nullptr) : ConfirmDialog("TDelFilesDlg", 3, parent) {}
};

// The extra question for a system or read-only file before a delete or a rename.
class TDelReadOnlyDlg : public ConfirmDialog {
    Q_OBJECT
public:
    explicit TDelReadOnlyDlg(QWidget* parent = nullptr) : ConfirmDialog("TDelReadOnlyDlg", 2, parent) {}
};

}  // namespace vsr::ui
