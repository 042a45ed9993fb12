// The program started without --simulate, on the mock BlueZ daemon: what its passes over the adapter
// record, and a program that keeps scanning, and closes at once, when no daemon answers.
#include "ProgramRun.h"
#include "bluetooth/bluez/BlueZPlatform.h"
#include "scan/DiscoveryThread.h"
#include "tests/bluez/MockBlueZ.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace orvelle::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* Adapter = "/org/bluez/hci0";
constexpr const char* DeviceInterface = "org.bluez.Device1";

class RealRadioRunTest : public ProgramRunTest {
protected:
    // Reads the session file every tenth of a second until READY holds for it, for up to a minute while
    // the program runs; returns the last reading.
    std::unique_ptr<TSessionState> WaitForSession(QProcess& process,
                                                  const std::function<bool(TSessionState&)>& ready) {
        std::unique_ptr<TSessionState> session;
        for (int attempt = 0; attempt < 600 && process.state() == QProcess::Running; ++attempt) {
            if (QFile::exists(SessionFile())) {
                session = SavedSession();
                if (ready(*session))
                    return session;
            }
            QThread::msleep(100);
        }
        ADD_FAILURE() << "the program did not get there; its error output: "
                      << process.readAllStandardError().toStdString();
        return session;
    }

    static std::vector<std::string> LinesContaining(const TSessionState& session, const std::string& text) {
        std::vector<std::string> lines;
        for (const std::string& line : session.Log)
            if (line.find(text) != std::string::npos)
                lines.push_back(LogText(line));
        return lines;
    }
};

// Plays the air around the adapter: in every pass the client starts, the known device is heard again
// and the phone too, the phone coming into range during the first pass. Each device is heard in every
// pass because a device whose service query fails (this kernel has no Bluetooth sockets) ends that
// pass before the devices after it are read.
class TAir {
public:
    TAir(TMockBlueZ& mock, std::string known) : FMock(mock), FKnown(std::move(known)) {
        FThread = std::jthread([this](std::stop_token stop) { Play(stop); });
    }

    // Ends the play; returns the failure that ended it earlier, if one did.
    std::string Stop() {
        FThread.request_stop();
        FThread.join();
        return FFailure;
    }

    // The longest time the client kept discovery running, over the passes that ended during the play.
    std::chrono::steady_clock::duration LongestPass() const { return FLongestPass; }

private:
    void Play(const std::stop_token& stop) {
        try {
            std::int16_t strength = -40;
            for (bool first = true; WaitForDiscovering(stop, true); first = false) {
                const auto start = std::chrono::steady_clock::now();
                if (first) {
                    FPhone = FMock.AddDevice("hci0", "5C:F3:70:00:00:01", "Caf\xC3\xA9 phone");
                    FMock.SetProperty(FPhone, DeviceInterface, "Class", "u", 0x5A020C);
                } else {
                    FMock.SetProperty(FPhone, DeviceInterface, "RSSI", "n", strength);
                }
                FMock.SetProperty(FKnown, DeviceInterface, "RSSI", "n", strength);
                strength = strength == -40 ? -41 : -40;
                if (WaitForDiscovering(stop, false))
                    FLongestPass = std::max(FLongestPass, std::chrono::steady_clock::now() - start);
            }
        } catch (const std::exception& failure) {
            FFailure = failure.what();
        }
    }

    // Waits until the adapter's discovering state is STATE; false when asked to stop first.
    bool WaitForDiscovering(const std::stop_token& stop, bool state) {
        while (!stop.stop_requested()) {
            if (FMock.Discovering(Adapter) == state)
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    TMockBlueZ& FMock;
    const std::string FKnown;
    std::string FPhone;
    std::string FFailure;
    std::chrono::steady_clock::duration FLongestPass{};
    std::jthread FThread;
};

TEST_F(RealRadioRunTest, RecordsTheAdaptersDevicesWithNamesAndClasses) {
    TMockBlueZOnBus daemon;
    ASSERT_TRUE(daemon.Running()) << "the private bus or the bluez5 mock did not start";
    TMockBlueZ& mock = daemon.Mock;
    mock.AddAdapter("hci0", "Lab computer");
    const std::string known = mock.AddDevice("hci0", "00:0A:3A:54:12:34", "Organizer");
    mock.SetProperty(known, DeviceInterface, "Class", "u", 0x114);

    QProcess process;
    Start(process, {QStringLiteral("--inquiry-seconds=2"), QStringLiteral("--session=") + SessionFile()});
    {
        TAir air(mock, known);
        WaitForSession(process, [](TSessionState& session) {
            TDeviceListLock lock(session.DeviceList());
            return session.DeviceList().Count() == 2;
        });
        EXPECT_EQ(air.Stop(), "");
        // The backend's default window is several times longer than the two seconds asked for.
        EXPECT_GT(air.LongestPass(), 0s);
        EXPECT_LT(air.LongestPass(), TBlueZSettings{}.InquiryWindow) << "--inquiry-seconds was not used";
    }
    Terminate(process);

    const std::unique_ptr<TSessionState> saved = SavedSession();
    struct TExpected {
        const char* Address;
        const char* Name;
        std::int32_t Major;
        std::int32_t Minor;
    };
    const TExpected expected[] = {{"(00:0A:3A:54:12:34)", "Organizer", 1, 5},
                                  {"(5C:F3:70:00:00:01)", "Caf\xE9 phone", 2, 3}};
    {
        TDeviceListLock lock(saved->DeviceList());
        EXPECT_EQ(saved->DeviceList().Count(), 2);
        for (const TExpected& device : expected) {
            const TBTDevice* found = saved->DeviceList().FindDevice(device.Address);
            ASSERT_NE(found, nullptr) << device.Address;
            EXPECT_EQ(found->Name, device.Name) << device.Address;
            EXPECT_EQ(found->MajorClass(), device.Major) << device.Address;
            EXPECT_EQ(found->MinorClass(), device.Minor) << device.Address;
            EXPECT_GE(found->SeenCount, 1) << device.Address;
        }
    }
    const std::vector<std::string>& log = saved->Log;
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(LogText(log.front()), "Scan finished");
    EXPECT_EQ(LogText(log.back()), "Scan started in location ");
    for (const TExpected& device : expected)
        EXPECT_EQ(LinesContaining(*saved, device.Address),
                  std::vector<std::string>{std::string("Found new device: ") + device.Address});
    EXPECT_EQ(LinesContaining(*saved, "Unable to start device lookup."), std::vector<std::string>{})
        << "every pass reached the adapter";
}

// Without a daemon, or without a system bus at all, every pass fails with a log line that says so and
// the program goes on; closing it does not wait out the pause after the failure.
TEST_F(RealRadioRunTest, WithoutTheDaemonEachPassFailsAndTheProgramKeepsRunning) {
    for (const bool withBus : {true, false}) {
        SCOPED_TRACE(withBus ? "a system bus without the daemon" : "no system bus");
        QFile::remove(SessionFile());
        std::unique_ptr<TPrivateBus> bus;
        std::vector<std::pair<QString, QString>> environment;
        if (withBus) {
            bus = std::make_unique<TPrivateBus>();
            ASSERT_TRUE(bus->Running()) << "dbus-daemon did not start";
        } else {
            environment = {{QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                            QStringLiteral("unix:path=") + FDirectory.filePath(QStringLiteral("no_bus"))}};
        }

        QProcess process;
        Start(process, {QStringLiteral("--inquiry-seconds=1"), QStringLiteral("--session=") + SessionFile()},
              environment);
        const auto failures = [](TSessionState& session) {
            return LinesContaining(session, "Unable to start device lookup.").size();
        };
        const std::unique_ptr<TSessionState> running =
            WaitForSession(process, [&](TSessionState& session) { return failures(session) >= 2; });
        ASSERT_NE(running, nullptr);
        EXPECT_EQ(process.state(), QProcess::Running) << "a failed pass does not end the program";
        for (const std::string& line : LinesContaining(*running, "Unable to start device lookup."))
            EXPECT_NE(line.find("The Bluetooth service is not running."), std::string::npos) << line;

        // The thread has just begun its pause after the second failure.
        QElapsedTimer closing;
        closing.start();
        Terminate(process);
        EXPECT_LT(closing.elapsed(), FailurePause.count())
            << "closing waited for the pause after the failed pass";
        const std::unique_ptr<TSessionState> saved = SavedSession();
        ASSERT_FALSE(saved->Log.empty());
        EXPECT_EQ(LogText(saved->Log.front()), "Scan finished");
        TDeviceListLock lock(saved->DeviceList());
        EXPECT_EQ(saved->DeviceList().Count(), 0);
    }
}

} // namespace
} // namespace orvelle::test
