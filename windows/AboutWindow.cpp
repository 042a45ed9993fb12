// The about window: the program's title, a notice line and the version read from the program file.
#include "windows/AboutWindow.h"

#include "resources/Images.h"
#include "windows/DisplayText.h"
#include "windows/VersionInfo.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace orvelle {

std::string GetVersionText() {
    return GetVersionText("/proc/self/exe");
}

TAboutForm::TAboutForm(QWidget* parent) : TModalForm(parent), FVersion(new QLabel(this)) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("IconImage"));
    icon->setFixedSize(32, 32);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));

    auto* title = new QLabel(QStringLiteral("Tamsholt Orvelle"), this);
    title->setObjectName(QStringLiteral("Title"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    title->setFont(titleFont);

    auto* notice = new QLabel(
        QStringLiteral(
            "Discovers the Bluetooth devices in range and keeps an inventory of every device seen."),
        this);
    notice->setObjectName(QStringLiteral("Label2"));
    notice->setWordWrap(true);
    notice->setFixedWidth(260);

    FVersion->setObjectName(QStringLiteral("Version"));
    FVersion->setTextFormat(Qt::PlainText);

    QPushButton* closeButton = NewCloseButton("Button1");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(FVersion, 2, 1);
    layout->addWidget(closeButton, 3, 0, 1, 2, Qt::AlignRight);
}

void TAboutForm::FormShow() {
    FVersion->setText(QStringLiteral("Version: ") + CodePageToQString(GetVersionText()));
}

} // namespace orvelle
