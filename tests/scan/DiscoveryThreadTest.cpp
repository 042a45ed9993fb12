// The discovery thread headless: its hand-overs in order, its pauses, its failures and its stopping,
// with the queue dispatcher pumped by the test and pauses that take no time.
#include "scan/DiscoveryThread.h"
#include "bluetooth/SimulatedRadio.h"
#include "inventory/Errors.h"
#include "scan/QueueDispatcher.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace orvelle::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The window's side: records every hand-over, on the test thread that serves them.
class TRecordingWindow : public TDiscoveryWindow, public TSoundPlayer {
public:
    std::vector<std::string> Events;
    // Raised by AddLogLine when set: the window failing to save the session, say.
    std::function<void(const std::string&)> OnLogLine;
    std::function<void()> OnScanIndicator;

    void AddLogLine(const std::string& text) override {
        Events.push_back("log " + text);
        if (OnLogLine)
            OnLogLine(text);
    }
    void DeviceListChanged() override { Events.push_back("list changed"); }
    void StartScanIndicator() override {
        Events.push_back("scan indicator");
        if (OnScanIndicator)
            OnScanIndicator();
    }
    void PlaySound(const std::string& fileName) override { Events.push_back("sound " + fileName); }

    long Count(const std::string& event) const { return std::count(Events.begin(), Events.end(), event); }
};

// Pauses that take no time: each is recorded and moves the clock on by its length. HOOK, set before
// the thread starts, runs on the discovery thread after each pause is recorded.
class TInstantPauses {
public:
    TInstantPauses() {
        SetClock([this]() -> std::int32_t { return std::int32_t(Start + FMillis.load() / 1000); });
    }
    ~TInstantPauses() { SetClock({}); }
    TInstantPauses(const TInstantPauses&) = delete;
    TInstantPauses& operator=(const TInstantPauses&) = delete;

    std::function<void(std::chrono::milliseconds)> Hook;

    TDiscoveryThread::TPause Function() {
        return [this](std::chrono::milliseconds pause) {
            {
                std::lock_guard lock(FMutex);
                FPauses.push_back(pause.count());
            }
            FMillis += pause.count();
            if (Hook)
                Hook(pause);
        };
    }
    std::vector<long> Pauses() {
        std::lock_guard lock(FMutex);
        return FPauses;
    }

private:
    std::atomic<std::int64_t> FMillis{0};
    std::mutex FMutex;
    std::vector<long> FPauses;
};

class DiscoveryThreadTest : public ::testing::Test {
protected:
    DiscoveryThreadTest() : FInstalled(Platform) {}

    // Starts the thread, serves its hand-overs until DONE holds, then stops it and waits for it.
    void RunUntil(const std::function<bool()>& done) {
        TDiscoveryThread thread(false, Dispatcher, Window, Window, Pauses.Function());
        EXPECT_EQ(DiscoveryHost(), &thread);
        EXPECT_TRUE(Dispatcher.ServeUntil(done, 20s)) << "gave up waiting";
        thread.Terminate();
        thread.WaitFor();
    }

    // Starts the thread and waits for it to end by itself, through a Terminate from the hooks.
    void RunToTheEnd() {
        TDiscoveryThread thread(true, Dispatcher, Window, Window, Pauses.Function());
        Terminator = &thread;
        thread.Resume();
        thread.WaitFor();
        Terminator = nullptr;
    }

    // Lets the thread fail COUNT passes, then asks it to terminate; the result counts the failures.
    const int& TerminateAfterFailures(int count) {
        Pauses.Hook = [this, count](std::chrono::milliseconds pause) {
            if (pause == FailurePause && ++Failures == count)
                Terminator.load()->Terminate();
        };
        return Failures;
    }

    long Begins() {
        const auto calls = Platform->Calls();
        return std::count(calls.begin(), calls.end(), std::string("InquiryBegin"));
    }

    TInstantPauses Pauses;
    TTestSession Session;
    std::shared_ptr<TScriptedPlatform> Platform = std::make_shared<TScriptedPlatform>();
    TInstalledPlatform FInstalled;
    TQueueDispatcher Dispatcher;
    TRecordingWindow Window;
    std::atomic<TDiscoveryThread*> Terminator{nullptr};
    int Failures = 0;
};

TEST_F(DiscoveryThreadTest, FirstSightingIsLoggedSoundedRebuiltThenQueried) {
    TTraceCapture trace(100);
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};
    Platform->Services[OrganizerText] = {0, {{std::string("\x35\x03\x09\x00\x00", 5)}}};

    RunUntil([this] { return Window.Count("scan indicator") >= 2; });

    ASSERT_GE(Window.Events.size(), 5u);
    EXPECT_THAT(std::vector<std::string>(Window.Events.begin(), Window.Events.begin() + 5),
                ElementsAre(std::string("log Found new device: ") + OrganizerText,
                            std::string("sound ") + DefaultFoundSound, "list changed", "scan indicator",
                            "scan indicator"));
    const TBTDevice device = Snapshot(Session.List(), OrganizerText);
    EXPECT_EQ(device.RawSDPRecords.size(), 1u);
    EXPECT_GE(device.SeenCount, 2);
    const auto pauses = Pauses.Pauses();
    EXPECT_TRUE(std::all_of(pauses.begin(), pauses.end(), [](long pause) { return pause == 1000; }));
    EXPECT_THAT(trace.Text(), HasSubstr("]TDiscoveryThread::Execute:46 Starting discovery thread\n"));
    EXPECT_THAT(trace.Text(), HasSubstr("]TDiscoveryThread::Execute:55 Discovery\n"));
}

TEST_F(DiscoveryThreadTest, EmptyFoundSoundStillRequestsTheRebuild) {
    Session.State().FoundSound.clear();
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};

    RunUntil([this] { return Window.Count("scan indicator") >= 1; });

    EXPECT_THAT(
        std::vector<std::string>(Window.Events.begin(), Window.Events.begin() + 3),
        ElementsAre(std::string("log Found new device: ") + OrganizerText, "list changed", "scan indicator"));
}

TEST_F(DiscoveryThreadTest, TwoNewDevicesAreHandedOverInTheOrderFound) {
    Session.State().FoundSound = "found.wav";
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "", 0x240404)}};

    RunUntil([this] { return Window.Count("scan indicator") >= 1; });

    EXPECT_THAT(std::vector<std::string>(Window.Events.begin(), Window.Events.begin() + 7),
                ElementsAre(std::string("log Found new device: ") + OrganizerText, "sound found.wav",
                            "list changed", std::string("log Found new device: ") + HeadsetText,
                            "sound found.wav", "list changed", "scan indicator"));
}

TEST_F(DiscoveryThreadTest, EveryPassWithoutFailureStartsTheScanIndicator) {
    Platform->InquiryBeginError = leServiceNotFound;

    RunUntil([this] { return Window.Count("scan indicator") >= 3; });

    EXPECT_EQ(Window.Count("scan indicator"), long(Window.Events.size()));
    EXPECT_GE(Begins(), 3);
}

TEST_F(DiscoveryThreadTest, FailedPassIsLoggedWholeAndBacksOffSixSeconds) {
    TTraceCapture trace(1);
    Platform->InquiryBeginError = leNetworkDown;
    const std::string message = "Unable to start device lookup.\n\nError: " + LastErrorText(leNetworkDown);

    RunUntil([this] { return Window.Events.size() >= 2; });

    EXPECT_THAT(std::vector<std::string>(Window.Events.begin(), Window.Events.begin() + 2),
                ElementsAre("log " + message, "log " + message));
    const auto pauses = Pauses.Pauses();
    ASSERT_GE(pauses.size(), 2u);
    EXPECT_THAT(std::vector<long>(pauses.begin(), pauses.begin() + 2), ElementsAre(5000, 1000));
    EXPECT_THAT(trace.Text(), HasSubstr("]TDiscoveryThread::Execute:60 ERROR: " + message + "\n"));
}

TEST_F(DiscoveryThreadTest, TerminationDuringAPassStopsAtTheNextResult) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "Headset", 0x240404)}};
    Window.OnLogLine = [this](const std::string&) { Terminator.load()->Terminate(); };

    RunToTheEnd();

    EXPECT_THAT(Window.Events,
                ElementsAre(std::string("log Found new device: ") + OrganizerText,
                            std::string("sound ") + DefaultFoundSound, "list changed", "scan indicator"));
    EXPECT_EQ(Session.List().Count(), 1);
    EXPECT_THAT(Pauses.Pauses(), ElementsAre(1000));
    EXPECT_EQ(Platform->OpenLookups(), 0);
}

TEST_F(DiscoveryThreadTest, TerminationDuringTheBackOffWaitsForBothPauses) {
    Platform->InquiryBeginError = leNetworkDown;
    Pauses.Hook = [this](std::chrono::milliseconds pause) {
        if (pause == FailurePause)
            Terminator.load()->Terminate();
    };

    RunToTheEnd();

    EXPECT_THAT(Pauses.Pauses(), ElementsAre(5000, 1000));
    EXPECT_EQ(Begins(), 1);
}

// The real pauses (no pause function given) end as soon as the thread is asked to terminate: closing
// the program right after a failed pass must not wait out the six-second back-off.
TEST_F(DiscoveryThreadTest, TerminationCutsTheRealBackOffShort) {
    Platform->InquiryBeginError = leNetworkDown;
    TDiscoveryThread thread(false, Dispatcher, Window, Window);
    ASSERT_TRUE(Dispatcher.ServeUntil([this] { return !Window.Events.empty(); }, 20s));

    const auto asked = std::chrono::steady_clock::now();
    thread.Terminate();
    thread.WaitFor();

    EXPECT_LT(std::chrono::steady_clock::now() - asked, 3s);
    EXPECT_EQ(Begins(), 1);
}

TEST_F(DiscoveryThreadTest, WaitingServesTheHandOversThatTheEndingPassMakes) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};
    {
        TDiscoveryThread thread(false, Dispatcher, Window, Window, Pauses.Function());
        // Nobody serves yet, so once the first result is read the pass stops in its first hand-over,
        // the log line, and the termination request reaches it only after that.
        const auto firstResultRead = [this] {
            const auto calls = Platform->Calls();
            return std::find(calls.begin(), calls.end(), "InquiryNext") != calls.end();
        };
        while (!firstResultRead())
            std::this_thread::sleep_for(1ms);
        thread.Terminate();
    }
    EXPECT_EQ(DiscoveryHost(), nullptr);
    EXPECT_EQ(Begins(), 1);
    EXPECT_THAT(Window.Events,
                ElementsAre(std::string("log Found new device: ") + OrganizerText,
                            std::string("sound ") + DefaultFoundSound, "list changed", "scan indicator"));
}

TEST_F(DiscoveryThreadTest, SuspendedThreadRunsNothingUntilResumed) {
    { TDiscoveryThread thread(true, Dispatcher, Window, Window, Pauses.Function()); }
    EXPECT_TRUE(Platform->Calls().empty());
    EXPECT_TRUE(Window.Events.empty());
}

TEST_F(DiscoveryThreadTest, ThreadIsNamedForDebuggers) {
    std::string name;
    Pauses.Hook = [&](std::chrono::milliseconds) {
        char buffer[16] = {};
        pthread_getname_np(pthread_self(), buffer, sizeof buffer);
        name = buffer;
        Terminator.load()->Terminate();
    };
    Platform->InquiryBeginError = leServiceNotFound;
    RunToTheEnd();
    EXPECT_EQ(name, "DiscoveryThread");
}

// A platform whose inquiry fails with something that is not a message-carrying failure.
class TThrowingPlatform : public TScriptedPlatform {
public:
    bool InquiryBegin(TLookupHandle& handle) override {
        TScriptedPlatform::InquiryBegin(handle);
        throw 42;
    }
};

// The thread survives failures of every kind and ends only when asked to: each case makes every
// pass fail, and the thread is stopped after its third failure.
struct TSurvivalCase {
    const char* Name;
    std::function<void(TScriptedPlatform&, TRecordingWindow&)> Setup;
    std::vector<std::string> Traced;
};

class DiscoveryThreadSurvivalTest : public DiscoveryThreadTest,
                                    public ::testing::WithParamInterface<TSurvivalCase> {};

TEST_P(DiscoveryThreadSurvivalTest, ThreadGoesOnAfterEachFailure) {
    TTraceCapture trace(1);
    GetParam().Setup(*Platform, Window);
    const auto& failures = TerminateAfterFailures(3);

    RunToTheEnd();

    EXPECT_EQ(failures, 3);
    EXPECT_THAT(Pauses.Pauses(), ElementsAre(5000, 1000, 5000, 1000, 5000, 1000));
    for (const std::string& line : GetParam().Traced)
        EXPECT_THAT(trace.Text(), HasSubstr("]TDiscoveryThread::Execute:60 ERROR: " + line + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DiscoveryThreadSurvivalTest,
    ::testing::Values(TSurvivalCase{"LogHandOverFails",
                                    [](TScriptedPlatform& platform, TRecordingWindow& window) {
                                        platform.InquiryBeginError = leNetworkDown;
                                        window.OnLogLine = [](const std::string&) {
                                            throw EOrvelleError("Unable to write the session file.");
                                        };
                                    },
                                    {"Unable to start device lookup.", "Unable to write the session file."}},
                      TSurvivalCase{"LogHandOverFailsWithoutMessage",
                                    [](TScriptedPlatform& platform, TRecordingWindow& window) {
                                        platform.InquiryBeginError = leNetworkDown;
                                        window.OnLogLine = [](const std::string&) { throw 7; };
                                    },
                                    {"Unable to start device lookup.", "a failure without a message"}},
                      TSurvivalCase{"ScanIndicatorHandOverFails",
                                    [](TScriptedPlatform& platform, TRecordingWindow& window) {
                                        platform.InquiryBeginError = leServiceNotFound;
                                        window.OnScanIndicator = [] {
                                            throw std::runtime_error("indicator failed");
                                        };
                                    },
                                    {"indicator failed"}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(DiscoveryThreadTest, FailureWithoutMessageIsTracedAndTheThreadGoesOn) {
    TTraceCapture trace(1);
    auto throwing = std::make_shared<TThrowingPlatform>();
    TInstalledPlatform installed(throwing);
    const auto& failures = TerminateAfterFailures(3);

    RunToTheEnd();

    EXPECT_EQ(failures, 3);
    EXPECT_TRUE(Window.Events.empty()) << "nothing to show in the log";
    EXPECT_THAT(trace.Text(),
                HasSubstr("]TDiscoveryThread::Execute:60 ERROR: a failure without a message\n"));
}

TEST_F(DiscoveryThreadTest, RunsAScenarioOnTheSimulatedRadio) {
    TScenario scenario;
    scenario.Devices.push_back(
        {Organizer, "Organizer", 0x20C, {{0, 3}}, std::vector<std::string>{std::string("\x35\x00", 2)}});
    scenario.Devices.push_back({Headset, "Headset", 0x240404, {{2, 5}}, std::nullopt});
    TInstalledPlatform installed(std::make_shared<TSimulatedRadio>(scenario));

    RunUntil([this] { return Window.Count("scan indicator") >= 7; });

    EXPECT_EQ(Window.Count(std::string("log Found new device: ") + OrganizerText), 1);
    EXPECT_EQ(Window.Count(std::string("log Found new device: ") + HeadsetText), 1);
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).SeenCount, 3);
    EXPECT_EQ(Snapshot(Session.List(), HeadsetText).SeenCount, 3);
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).RawSDPRecords.size(), 1u);
}

} // namespace
} // namespace orvelle::test
