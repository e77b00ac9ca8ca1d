#pragma once
#include <string>

#include "platform/linux/byte_lines.h"
#include "ui/dialogs/reverting_dialog.h"

class QPlainTextEdit;

namespace vsr::ui {

// "File Ignore List": one file mask per line.
class TFileIgnoreDlg : public RevertingDialog {
    Q_OBJECT
public:
    explicit TFileIgnoreDlg(QWidget* parent = nullptr);

    // The list with "\n" between lines.
    std::string listText() const;
    void setListText(const std::string& text);
    // The list as last accepted: while the dialog is open, the one it was opened with.
    std::string acceptedListText() const;

    QPlainTextEdit* FilesMemo = nullptr;

protected:
    void remember() override;
    void restore() override;

private:
    QString savedText_;
    // Names as the file system has them, also bytes that are not UTF-8.
    platform::ByteLines bytes_;
};

}  // namespace vsr::ui
