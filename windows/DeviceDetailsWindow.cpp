// The device details window: a snapshot of one device taken under the device list's lock, and the
// move of that device to another location through the choose-location dialog.
#include "windows/DeviceDetailsWindow.h"

#include "inventory/SessionState.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DisplayText.h"
#include "windows/Pictures.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvelle {

TDeviceDetailsForm::TDeviceDetailsForm(TSessionState& session, TChooseLocationForm& chooseLocation,
                                       QWidget* parent)
    : TModalForm(parent), FSession(session), FChooseLocation(chooseLocation) {
    setObjectName(QStringLiteral("DeviceDetailsForm"));
    setWindowTitle(QStringLiteral("Bluetooth Device Information"));

    FName = NewValueLabel("Name", this);
    QFont bold = FName->font();
    bold.setBold(true);
    FName->setFont(bold);
    FDeviceAddress = NewValueLabel("DeviceAddress", this);

    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl1"));

    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("GeneralSheet"));
    FLocationButton = new QToolButton(general);
    FLocationButton->setObjectName(QStringLiteral("LocationButton"));
    FLocationButton->setIcon(QIcon(LocationPicture(16)));
    FLocationButton->setIconSize(QSize(16, 16));
    FLocationButton->setAutoRaise(true);
    FLocationButton->setToolTip(QStringLiteral("Choose a location for the station"));
    connect(FLocationButton, &QToolButton::clicked, this, &TDeviceDetailsForm::LocationButtonClick);
    FLocation = NewValueLabel("Location", general);
    FServiceList = new QListWidget(general);
    FServiceList->setObjectName(QStringLiteral("ServiceList"));
    FServiceList->setUniformItemSizes(true);

    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(FLocationButton);
    locationRow->addWidget(FLocation, 1);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(NewFieldLabel(QStringLiteral("Location"), general));
    generalLayout->addLayout(locationRow);
    generalLayout->addWidget(NewFieldLabel(QStringLiteral("Advertised Services"), general));
    generalLayout->addWidget(FServiceList, 1);
    FPageControl->addTab(general, QStringLiteral("General"));

    auto* rawSDP = new QWidget;
    rawSDP->setObjectName(QStringLiteral("RawSDPSheet"));
    FSDPMemo = new QPlainTextEdit(rawSDP);
    FSDPMemo->setObjectName(QStringLiteral("SDPMemo"));
    FSDPMemo->setReadOnly(true);
    FSDPMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FSDPMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FSDPMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FSDPMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FSDPMemo->setMinimumSize(420, 260);
    auto* rawLayout = new QVBoxLayout(rawSDP);
    rawLayout->addWidget(NewFieldLabel(QStringLiteral("Service Discovery Protocol Records"), rawSDP));
    rawLayout->addWidget(FSDPMemo, 1);
    FPageControl->addTab(rawSDP, QStringLiteral("Raw SDP"));

    QPushButton* closeButton = NewCloseButton("CloseButton");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setColumnStretch(1, 1);
    layout->addWidget(NewFieldLabel(QStringLiteral("Name"), this), 0, 0);
    layout->addWidget(FName, 0, 1);
    layout->addWidget(NewFieldLabel(QStringLiteral("Address"), this), 1, 0);
    layout->addWidget(FDeviceAddress, 1, 1);
    layout->addWidget(FPageControl, 2, 0, 1, 2);
    layout->addWidget(closeButton, 3, 0, 1, 2, Qt::AlignRight);
}

void TDeviceDetailsForm::SetDeviceDataChanged(std::function<void()> callback) {
    FDeviceDataChanged = std::move(callback);
}

void TDeviceDetailsForm::Clear() {
    FName->clear();
    FDeviceAddress->clear();
    FLocation->clear();
    FSDPMemo->clear();
    FServiceList->clear();
}

void TDeviceDetailsForm::FormShow() {
    // A failure below leaves the window empty rather than half filled with the previous device.
    Clear();
    TDeviceListLock lock(FSession.DeviceList());
    TBTDevice* device = FSession.DeviceList().FindDevice(SelectedAddress);
    FLocationButton->setEnabled(device != nullptr);
    if (device == nullptr)
        return;
    FName->setText(CodePageToQString(device->Name));
    FDeviceAddress->setText(CodePageToQString(device->Address));
    FLocation->setText(CodePageToQString(device->Location));
    FSDPMemo->setPlainText(CodePageToQString(device->SDPText()));
    for (const std::string& service : device->AdvertisedServices())
        FServiceList->addItem(CodePageToQString(service));
}

void TDeviceDetailsForm::LocationButtonClick() {
    if (FChooseLocation.exec() != QDialog::Accepted)
        return;
    const std::string chosen = FChooseLocation.ChosenLocation;
    // Byte for byte against what the window shows: letter case counts.
    if (chosen == QStringToCodePage(FLocation->text()))
        return;
    {
        TDeviceListLock lock(FSession.DeviceList());
        TBTDevice* device = FSession.DeviceList().FindDevice(SelectedAddress);
        if (device == nullptr)
            return;
        device->Location = chosen;
    }
    if (FDeviceDataChanged)
        FDeviceDataChanged();
    FLocation->setText(CodePageToQString(chosen));
}

} // namespace orvelle
