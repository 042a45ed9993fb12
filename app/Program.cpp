// Start-up in the order the program has always used: trace configuration, the application and its
// title, the windows in order, the event loop; a failure that escapes is shown, and the program
// then ends normally.
#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/CrashHandler.h"
#include "app/ErrorDisplay.h"
#include "app/MainForm.h"
#include "app/TerminationSignals.h"
#include "bluetooth/DemoScenario.h"
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/bluez/BlueZPlatform.h"
#include "inventory/SessionState.h"
#include "kavoutils.h"
#include "resources/Images.h"
#include "windows/AboutWindow.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DeviceDetailsWindow.h"
#include "windows/DisplayText.h"
#include "windows/RadioInfoWindow.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace orvelle {

namespace {

// The radio the command line asks for. Raises EOrvelleError when a scenario cannot be read.
std::shared_ptr<TBluetoothPlatform> ChosenPlatform(const TCommandLine& commandLine) {
    if (!commandLine.Simulate) {
        TBlueZSettings settings;
        if (commandLine.InquirySeconds)
            settings.InquiryWindow = std::chrono::seconds(*commandLine.InquirySeconds);
        return CreateBlueZPlatform(settings);
    }
    if (commandLine.ScenarioFile)
        return std::make_shared<TSimulatedRadio>(LoadScenarioFile(*commandLine.ScenarioFile));
    return std::make_shared<TSimulatedRadio>(DemoScenario());
}

// Closes the open modal boxes, then the main window, as the Exit command would.
void CloseLikeExit(TMainForm& mainForm) {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    mainForm.close();
}

int RunWindows(std::vector<std::string>& toolkitArguments) {
    std::vector<char*> arguments;
    for (std::string& argument : toolkitArguments)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    int argumentCount = static_cast<int>(toolkitArguments.size());
    QApplication application(argumentCount, arguments.data());
    if (argumentCount > 1) {
        std::fprintf(stderr, "orvelle: unknown argument %s\nTry 'orvelle --help'.\n", arguments[1]);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Tamsholt Orvelle"));
    // One look on every desktop, as the window was designed for.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(ProgramIcon());

    try {
        // SIGINT and SIGTERM close the window once the event loop runs. The handler stays installed
        // until every window is gone, so that a second signal during the closing save does nothing
        // instead of killing the process before the session is written.
        TMainForm* openForm = nullptr;
        TTerminationSignals signals([&openForm] {
            if (openForm != nullptr)
                CloseLikeExit(*openForm);
        });
        auto mainForm = std::make_unique<TMainForm>();
        auto radioInfo = std::make_unique<TRadioInfoForm>(Platform(), mainForm.get());
        // The details window asks the location dialog, so the dialog exists first.
        auto chooseLocation = std::make_unique<TChooseLocationForm>(*Session, mainForm.get());
        auto deviceDetails = std::make_unique<TDeviceDetailsForm>(*Session, *chooseLocation, mainForm.get());
        auto about = std::make_unique<TAboutForm>(mainForm.get());
        deviceDetails->SetDeviceDataChanged([form = mainForm.get()] { form->DeviceDataChanged(); });
        mainForm->SetWindows(radioInfo.get(), deviceDetails.get(), chooseLocation.get(), about.get());

        openForm = mainForm.get();
        mainForm->show();
        QApplication::exec();
        openForm = nullptr;
    } catch (const std::exception& failure) {
        ShowException(nullptr, CodePageToQString(failure.what()));
    } catch (...) {
        ShowException(nullptr, QString());
    }
    return 0;
}

} // namespace

int RunProgram(int argc, char** argv) {
    const TCommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (!commandLine.Error.empty()) {
        std::fprintf(stderr, "orvelle: %s\nTry 'orvelle --help'.\n", commandLine.Error.c_str());
        return 2;
    }
    if (commandLine.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (commandLine.Version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }

    // A scenario that cannot be used stops the program before anything is written.
    std::shared_ptr<TBluetoothPlatform> platform;
    try {
        platform = ChosenPlatform(commandLine);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "orvelle: %s\n", failure.what());
        return 2;
    }

    TraceLoadConfiguration("trace.conf");
    if (commandLine.SessionFile)
        SetSessionFileName(*commandLine.SessionFile);
    InstallCrashHandler(CrashReportPath(SessionFileName()));
    SetPlatform(platform);

    std::vector<std::string> toolkitArguments = commandLine.Remaining;
    return RunWindows(toolkitArguments);
}

} // namespace orvelle
