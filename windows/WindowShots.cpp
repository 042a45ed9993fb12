// orvelle-window-shots: shows each secondary window with the demo scenario's radio and first device
// and saves a picture of it, for the README. Usage: orvelle-window-shots SCENARIO OUTPUT-DIRECTORY.
#include "bluetooth/Platform.h"
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/sdp/CodePage.h"
#include "inventory/SessionState.h"
#include "windows/AboutWindow.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DeviceDetailsWindow.h"
#include "windows/RadioInfoWindow.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <functional>

namespace orvelle {
namespace {

// Shows FORM modally; once it is on the screen, PREPARE may change what it shows, then the picture
// is saved as FILE and the window closed.
void Shoot(TModalForm& form, const QString& file, std::function<void()> prepare = {}) {
    QTimer::singleShot(300, &form, [&form, file, prepare] {
        if (prepare)
            prepare();
        QApplication::processEvents();
        if (!form.grab().save(file))
            std::fprintf(stderr, "orvelle-window-shots: cannot write %s\n", qPrintable(file));
        form.reject();
    });
    form.exec();
}

void AddDemoDevice(TSessionState& session, const TScenarioDevice& scenario) {
    TDeviceListLock lock(session.DeviceList());
    TBTDevice& device = session.DeviceList().AddDevice(FormatAddressText(scenario.Address));
    device.Name = Utf8ToCodePage(scenario.Name);
    device.Location = "Reception";
    device.SetMajorClass(static_cast<std::int32_t>((scenario.ClassOfDevice >> 8) & 0x1F));
    device.SetMinorClass(static_cast<std::int32_t>((scenario.ClassOfDevice >> 2) & 0x3F));
    if (scenario.Records)
        device.RawSDPRecords = *scenario.Records;
}

int Run(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvelle-window-shots SCENARIO OUTPUT-DIRECTORY\n");
        return 2;
    }
    const TScenario scenario = LoadScenarioFile(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    TSimulatedRadio radio(scenario);

    TSessionState session;
    session.LocationList = {"Lab", "Office", "Reception", "Warehouse"};
    session.SetLocation("Office");
    if (!scenario.Devices.empty())
        AddDemoDevice(session, scenario.Devices.front());

    QMainWindow mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Tamsholt Orvelle - Bluetooth Device Discovery"));
    mainWindow.resize(932, 585);
    mainWindow.show();

    TRadioInfoForm radioInfo(radio, &mainWindow);
    TChooseLocationForm chooseLocation(session, &mainWindow);
    TDeviceDetailsForm deviceDetails(session, chooseLocation, &mainWindow);
    TAboutForm about(&mainWindow);
    if (!scenario.Devices.empty())
        deviceDetails.SelectedAddress = FormatAddressText(scenario.Devices.front().Address);

    Shoot(radioInfo, output.filePath(QStringLiteral("radio-information.png")));
    Shoot(deviceDetails, output.filePath(QStringLiteral("device-details.png")));
    auto* pages = deviceDetails.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    Shoot(deviceDetails, output.filePath(QStringLiteral("device-details-sdp.png")),
          [pages] { pages->setCurrentIndex(1); });
    Shoot(chooseLocation, output.filePath(QStringLiteral("choose-location.png")));
    Shoot(about, output.filePath(QStringLiteral("about.png")));
    return 0;
}

} // namespace
} // namespace orvelle

int main(int argc, char** argv) {
    try {
        return orvelle::Run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "orvelle-window-shots: %s\n", failure.what());
        return 1;
    }
}
