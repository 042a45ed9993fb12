// The radio information window (TRadioInfoForm): the local Bluetooth radios, read afresh at every
// showing, and the properties of the one selected (TRadioInfo).
#pragma once

#include "inventory/BTDevice.h"
#include "windows/ModalForm.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace orvelle {

class TBluetoothPlatform;
class TTypeIcon;

// What was read from one local radio, as the window shows it.
struct TRadioInfo {
    std::string Name;         // code-page text
    std::string Address;      // "00:0A:3A:12:34:56", most significant byte first
    std::string Manufacturer; // ManufacturerName of the manufacturer identifier
    std::string Version;      // LMP subversion in unsigned decimal
    TDeviceType Type = dtOther;
    std::int32_t MajorClass = 0;
    std::int32_t MinorClass = 0;
    std::string ClassText;
    bool Discoverable = false;
    bool Connectable = false;
};

class TRadioInfoForm : public TModalForm {
    Q_OBJECT

public:
    explicit TRadioInfoForm(TBluetoothPlatform& platform, QWidget* parent = nullptr);
    ~TRadioInfoForm() override;

    // The radios of the latest showing, in the order the platform reported them.
    std::vector<std::unique_ptr<TRadioInfo>> Radios;

    // Reads the radios again and selects the first. Raises EOrvelleError "Unable to read radio
    // information: " with the last error's text when a radio cannot be read; the combo then stays empty.
    void FormShow() override;

    // Shows the properties of the selected radio, or empty labels when none is selected.
    void RadioComboSelect();

private:
    void ReadRadios();
    const TRadioInfo* SelectedRadio() const;

    TBluetoothPlatform& FPlatform;
    QComboBox* FRadioCombo;
    TTypeIcon* FTypeIcon;
    QLabel* FName;
    QLabel* FClassText;
    QLabel* FAddress;
    QLabel* FVersion;
    QLabel* FManufacturer;
    QLabel* FDiscoverable;
    QLabel* FConnectable;
};

} // namespace orvelle
