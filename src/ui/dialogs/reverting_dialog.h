#pragma once
#include <QDialog>
#include <QPointer>
#include <functional>

class QPushButton;

namespace vsr::ui {

// A modal dialog that only OK accepts: on showing it remembers its controls' values and
// gives OK the focus; closing it any other way (Cancel, Escape, the close box) puts the
// remembered values back. F1 opens the dialog's help topic.
class RevertingDialog : public QDialog {
    Q_OBJECT
public:
    using HelpOpener = std::function<void(const QString& topic)>;
    explicit RevertingDialog(QWidget* parent, QString helpTopic);

    void setHelpOpener(HelpOpener opener) { helpOpener_ = std::move(opener); }
    const QString& helpTopic() const { return helpTopic_; }
    void reject() override;
    void done(int result) override;
    // Shown and not yet closed: the values last accepted are the remembered ones, not the
    // controls' (saving at a signal reads these).
    bool isOpen() const { return open_; }

protected:
    // Takes a copy of the values a Cancel must bring back.
    virtual void remember() = 0;
    virtual void restore() = 0;
    // The OK and Cancel buttons, created with their captions and wired.
    QPushButton* makeOkButton();
    QPushButton* makeCancelButton();

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString helpTopic_;
    HelpOpener helpOpener_;
    QPointer<QPushButton> ok_;
    bool open_ = false;
};

}  // namespace vsr::ui
