#pragma once
#include <QDialog>

namespace vsr::ui {

// The modal about box: the program's name, its version and OK.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    static QString versionLine();
};

}  // namespace vsr::ui
