#include "ui/dialogs/confirm_dialogs.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace vsr::ui {

fileops::Answer answerOfResult(int result) {
    switch (result) {
    case QDialog::Accepted: return fileops::Answer::Ok;
    case kSkipResult: return fileops::Answer::Skip;
    case kYesToAllResult: return fileops::Answer::YesToAll;
    default: return fileops::Answer::Cancel;
    }
}

ConfirmDialog::ConfirmDialog(const char* objectName, int lineCount, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(objectName));
    setModal(true);
    auto* column = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    body->addWidget(icon);
    auto* lines = new QVBoxLayout;
    for (int i = 0; i < lineCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        // A file name is shown as it is, never read as markup.
        label->setTextFormat(Qt::PlainText);
        lines->addWidget(label);
        Labels.push_back(label);
    }
    lines->addStretch(1);
    body->addLayout(lines, 1);
    column->addLayout(body);
    column->addSpacing(6);

    auto button = [this](const char* name, const char* text, int result) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(true);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    OKBtn = button("OKBtn", "Yes", QDialog::Accepted);
    SkipBtn = button("SkipBtn", "Skip", kSkipResult);
    YesToAllBtn = button("YesToAllBtn", "Yes to All", kYesToAllResult);
    CancelBtn = button("CancelBtn", "Cancel", QDialog::Rejected);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {OKBtn, SkipBtn, YesToAllBtn, CancelBtn}) buttons->addWidget(b);
    buttons->addStretch(1);
    column->addLayout(buttons);
}

void ConfirmDialog::present(const fileops::Question& question, const std::vector<QString>& lines) {
    question_ = question;
    setWindowTitle(QString::fromStdString(question.caption));
    for (std::size_t i = 0; i < Labels.size(); ++i) {
        Labels[i]->setText(i < lines.size() ? lines[i] : QString());
        Labels[i]->setVisible(i < lines.size());
        // A shortened line shows itself whole when the pointer rests on it.
        const QString whole = i < question.lines.size() ? QString::fromStdString(question.lines[i].text) : QString();
        Labels[i]->setToolTip(i < lines.size() && whole != lines[i] ? whole : QString());
    }
    const bool all = question.buttons == fileops::Buttons::All;
    OKBtn->setText(all ? QStringLiteral("Yes") : QStringLiteral("OK"));
    OKBtn->setVisible(question.buttons != fileops::Buttons::SkipCancel);
    SkipBtn->setVisible(question.buttons != fileops::Buttons::OkCancel);
    YesToAllBtn->setVisible(all);
    CancelBtn->setVisible(true);
    // Fixed to what the texts need, and centred on the screen rather than on the window.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    adjustSize();
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

QPushButton* ConfirmDialog::firstShown() const {
    for (QPushButton* b : {OKBtn, SkipBtn, YesToAllBtn, CancelBtn})
        if (!b->isHidden()) return b;
    return CancelBtn;
}

void ConfirmDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QPushButton* first = firstShown();
    first->setDefault(true);
    first->setFocus(Qt::OtherFocusReason);
}

}  // namespace vsr::ui
