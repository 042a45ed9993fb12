// The radio information window: reads every local radio through the platform layer at each showing
// and shows the selected one's name, class with its type picture, address, version and modes.
#include "windows/RadioInfoWindow.h"

#include "bluetooth/Platform.h"
#include "inventory/Descriptions.h"
#include "inventory/Errors.h"
#include "inventory/Utils.h"
#include "resources/Images.h"
#include "windows/DisplayText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <functional>

namespace orvelle {

// The 24 by 24 picture of the selected radio's device type; empty while no radio is selected.
class TTypeIcon : public QWidget {
public:
    TTypeIcon(std::function<const TRadioInfo*()> selected, QWidget* parent)
        : QWidget(parent), FSelected(std::move(selected)) {
        setObjectName(QStringLiteral("TypeIcon"));
        setFixedSize(ImageSize, ImageSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const TRadioInfo* radio = FSelected();
        if (radio == nullptr)
            return;
        QPainter painter(this);
        DeviceImages()
            .at(radio->Type)
            .paint(&painter, QRect(0, 0, ImageSize, ImageSize), Qt::AlignLeft | Qt::AlignTop, QIcon::Normal);
    }

private:
    std::function<const TRadioInfo*()> FSelected;
};

namespace {

// Closes a platform handle on every path, also when reading a radio fails.
template<typename Handle>
class THandleCloser {
public:
    THandleCloser(TBluetoothPlatform& platform, Handle handle, void (TBluetoothPlatform::*close)(Handle))
        : FPlatform(platform), FHandle(handle), FClose(close) {}
    ~THandleCloser() { (FPlatform.*FClose)(FHandle); }
    THandleCloser(const THandleCloser&) = delete;
    THandleCloser& operator=(const THandleCloser&) = delete;

private:
    TBluetoothPlatform& FPlatform;
    Handle FHandle;
    void (TBluetoothPlatform::*FClose)(Handle);
};

std::string AddressText(const std::array<std::uint8_t, 6>& address) {
    char text[18];
    std::snprintf(text, sizeof(text), "%2.2X:%2.2X:%2.2X:%2.2X:%2.2X:%2.2X", address[5], address[4],
                  address[3], address[2], address[1], address[0]);
    return text;
}

std::unique_ptr<TRadioInfo> RadioInfoOf(TBluetoothPlatform& platform, TRadioHandle radio,
                                        const TRadioInformation& information) {
    auto info = std::make_unique<TRadioInfo>();
    info->Name = QStringToCodePage(
        QString::fromUtf16(information.Name.data(), static_cast<qsizetype>(information.Name.size())));
    info->Address = AddressText(information.Address);
    info->MajorClass = static_cast<std::int32_t>((information.ClassOfDevice >> 8) & 0x1F);
    info->MinorClass = static_cast<std::int32_t>((information.ClassOfDevice >> 2) & 0x3F);
    info->Type = DeviceTypeOf(info->MajorClass, info->MinorClass);
    info->Manufacturer = ManufacturerName(information.Manufacturer);
    info->ClassText = ClassOfDeviceText(static_cast<std::uint32_t>(info->MajorClass),
                                        static_cast<std::uint32_t>(info->MinorClass));
    info->Version = std::to_string(information.LmpSubversion);
    info->Discoverable = platform.IsDiscoverable(radio);
    info->Connectable = platform.IsConnectable(radio);
    return info;
}

QString YesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

TRadioInfoForm::TRadioInfoForm(TBluetoothPlatform& platform, QWidget* parent)
    : TModalForm(parent), FPlatform(platform), FRadioCombo(new QComboBox(this)) {
    setObjectName(QStringLiteral("RadioInfoForm"));
    setWindowTitle(QStringLiteral("Bluetooth Radio Information"));

    FRadioCombo->setObjectName(QStringLiteral("RadioCombo"));
    connect(FRadioCombo, &QComboBox::activated, this, &TRadioInfoForm::RadioComboSelect);

    auto* group = new QGroupBox(QStringLiteral("Radio"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    FName = NewValueLabel("Name", group);
    FTypeIcon = new TTypeIcon([this] { return SelectedRadio(); }, group);
    FClassText = NewValueLabel("COD", group);
    FAddress = NewValueLabel("Address", group);
    FVersion = NewValueLabel("Version", group);
    FManufacturer = NewValueLabel("Manufacturer", group);
    FDiscoverable = NewValueLabel("Discoverable", group);
    FConnectable = NewValueLabel("Connectable", group);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(FTypeIcon);
    typeRow->addWidget(FClassText, 1);

    // Field pairs by row and column; the version stands beside the address, connectable beside
    // discoverable, and the others take the whole width.
    struct TField {
        const char* Caption;
        QWidget* Value;
        QLayout* ValueLayout;
        int Row;
        int Column;
        int Span;
    };
    const TField fieldPairs[] = {
        {"Name", FName, nullptr, 0, 0, 3},
        {"Type", nullptr, typeRow, 1, 0, 3},
        {"Address", FAddress, nullptr, 2, 0, 1},
        {"Version", FVersion, nullptr, 2, 2, 1},
        {"Manufacturer", FManufacturer, nullptr, 3, 0, 3},
        {"Discoverable", FDiscoverable, nullptr, 4, 0, 1},
        {"Connectable", FConnectable, nullptr, 4, 2, 1},
    };
    auto* fields = new QGridLayout(group);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    for (const TField& field : fieldPairs) {
        fields->addWidget(NewFieldLabel(QString::fromLatin1(field.Caption), group), field.Row, field.Column);
        if (field.Value)
            fields->addWidget(field.Value, field.Row, field.Column + 1, 1, field.Span);
        else
            fields->addLayout(field.ValueLayout, field.Row, field.Column + 1, 1, field.Span);
    }

    QPushButton* closeButton = NewCloseButton("CloseButton");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(FRadioCombo);
    layout->addWidget(group);
    layout->addWidget(closeButton, 0, Qt::AlignRight);
    setTabOrder(FRadioCombo, closeButton);
}

TRadioInfoForm::~TRadioInfoForm() = default;

void TRadioInfoForm::FormShow() {
    // The combo refers to records by position: empty it before the records of the last showing go.
    FRadioCombo->clear();
    Radios.clear();
    ReadRadios();
    for (std::size_t i = 0; i < Radios.size(); ++i)
        FRadioCombo->addItem(CodePageToQString(Radios[i]->Name + " (" + Radios[i]->Manufacturer + ")"),
                             static_cast<qulonglong>(i));
    FRadioCombo->setCurrentIndex(Radios.empty() ? -1 : 0);
    RadioComboSelect();
}

void TRadioInfoForm::ReadRadios() {
    TRadioFindHandle find = 0;
    TRadioHandle radio = 0;
    if (!FPlatform.FindFirstRadio(find, radio))
        return;
    THandleCloser<TRadioFindHandle> findCloser(FPlatform, find, &TBluetoothPlatform::FindRadioClose);
    do {
        THandleCloser<TRadioHandle> radioCloser(FPlatform, radio, &TBluetoothPlatform::CloseRadio);
        TRadioInformation information;
        if (!FPlatform.GetRadioInfo(radio, information))
            throw EOrvelleError("Unable to read radio information: " + GetLastErrorText());
        Radios.push_back(RadioInfoOf(FPlatform, radio, information));
    } while (FPlatform.FindNextRadio(find, radio));
}

const TRadioInfo* TRadioInfoForm::SelectedRadio() const {
    int index = FRadioCombo->currentIndex();
    if (index < 0)
        return nullptr;
    return Radios.at(FRadioCombo->itemData(index).toULongLong()).get();
}

void TRadioInfoForm::RadioComboSelect() {
    const TRadioInfo* radio = SelectedRadio();
    FName->setText(radio ? CodePageToQString(radio->Name) : QString());
    FAddress->setText(radio ? CodePageToQString(radio->Address) : QString());
    FManufacturer->setText(radio ? CodePageToQString(radio->Manufacturer) : QString());
    FVersion->setText(radio ? CodePageToQString(radio->Version) : QString());
    FClassText->setText(radio ? CodePageToQString(radio->ClassText) : QString());
    FDiscoverable->setText(radio ? YesNo(radio->Discoverable) : QString());
    FConnectable->setText(radio ? YesNo(radio->Connectable) : QString());
    FTypeIcon->update();
}

} // namespace orvelle
