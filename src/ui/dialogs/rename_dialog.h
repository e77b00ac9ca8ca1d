#pragma once
#include <QDialog>
#include <functional>

#include "engine/search/search_host.h"
#include "fileops/rename_rules.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vsr::ui {

// "Rename Files": the commands applied to every selected file. "Rename" applies them and the
// dialog stays open for further commands; "Exit" closes it. The dialog lives as long as the
// program, so its commands are offered again the next time.
class TRenameDlg : public QDialog {
    Q_OBJECT
public:
    TRenameDlg(engine::Prompter& prompter, QWidget* parent = nullptr);

    fileops::RenameCommands commands() const;
    void setCommands(const fileops::RenameCommands& commands);

    // Validates the commands (showing the trimmed texts) and hands them to `onRename`.
    void OKBtnClick();
    void CancCommButtonClick();
    void RemoveCheckBoxClick();
    void ExtCheckBoxClick();

    // Renames the selected files by the validated commands.
    std::function<void(const fileops::RenameCommands&)> onRename;

    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QCheckBox* RemoveCheckBox = nullptr;
    QLabel* FirstPositionLabel = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* NumberLabel = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QCheckBox* ExtCheckBox = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancCommButton = nullptr;
    QPushButton* ExitBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    engine::Prompter& prompter_;
};

}  // namespace vsr::ui
