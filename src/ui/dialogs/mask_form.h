#pragma once
#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace vsr::ui {

// The modal "Mask" dialog of Select and Deselect. It lives as long as the program, so the
// mask typed last is offered again.
class TMaskForm : public QDialog {
    Q_OBJECT
public:
    explicit TMaskForm(QWidget* parent = nullptr);

    // Shows the dialog modally: the mask on OK, nothing on Cancel.
    std::optional<std::string> askMask();
    std::string mask() const;

    QLineEdit* Edit1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vsr::ui
