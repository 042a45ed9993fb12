// The device details window (TDeviceDetailsForm): everything the inventory holds about one device,
// and the move of that device to another location.
#pragma once

#include "windows/ModalForm.h"

#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;

namespace orvelle {

class TChooseLocationForm;
class TSessionState;

class TDeviceDetailsForm : public TModalForm {
    Q_OBJECT

public:
    TDeviceDetailsForm(TSessionState& session, TChooseLocationForm& chooseLocation,
                       QWidget* parent = nullptr);

    // Address text of the device to show, set by the caller before each showing. The window looks the
    // device up by it whenever it needs it and keeps no pointer to the record.
    std::string SelectedAddress;

    // Called after the window moved the device to another location; the main window installs its
    // refresh request here (it must not wait for anything: the window is still open).
    void SetDeviceDataChanged(std::function<void()> callback);

    // Fills the window from the device. A device no longer in the list leaves every field empty and
    // the location button disabled. Errors of the SDP rendering pass to the caller.
    void FormShow() override;

    // Asks for a location and, when it differs from the one shown, stores it in the device.
    void LocationButtonClick();

private:
    void Clear();

    TSessionState& FSession;
    TChooseLocationForm& FChooseLocation;
    std::function<void()> FDeviceDataChanged;
    QLabel* FName;
    QLabel* FDeviceAddress;
    QTabWidget* FPageControl;
    QToolButton* FLocationButton;
    QLabel* FLocation;
    QListWidget* FServiceList;
    QPlainTextEdit* FSDPMemo;
};

} // namespace orvelle
