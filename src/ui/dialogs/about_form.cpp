#include "ui/dialogs/about_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/app_info.h"

namespace vsr::ui {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QString::fromUtf8(kProgramTitle), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    name->setFont(big);
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* blurb = new QLabel(QStringLiteral("Finds text in many files and changes it."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(blurb);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TAboutForm::versionLine() { return QStringLiteral("Version %1").arg(QString::fromUtf8(kProgramVersion)); }

}  // namespace vsr::ui
