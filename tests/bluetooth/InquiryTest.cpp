// The inquiry pass over a scripted platform: records, announcements, queries, trace lines, failures
// and the lock discipline.
#include "bluetooth/BTInterface.h"
#include "inventory/Errors.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Records the hand-overs in the platform's record of calls, and checks at each that the list's lock
// is free, as the window's handlers need it.
class TRecordingHost : public TDiscoveryHost {
public:
    TRecordingHost(TScriptedPlatform& platform, TDeviceList& list) : FPlatform(platform), FList(list) {
        SetDiscoveryHost(this);
    }
    ~TRecordingHost() override { SetDiscoveryHost(nullptr); }

    // The number of IsTerminated polls answered false before the request arrives; -1 for never.
    int PollsBeforeTermination = -1;

    bool IsTerminated() override { return PollsBeforeTermination >= 0 && FPolls++ >= PollsBeforeTermination; }
    void LogMessage(const std::string& text) override {
        EXPECT_TRUE(LockIsFree(FList)) << "lock held while logging " << text;
        FPlatform.Note("log " + text);
    }
    void NewDeviceFound() override {
        EXPECT_TRUE(LockIsFree(FList)) << "lock held while announcing a new device";
        FPlatform.Note("new device");
    }

private:
    TScriptedPlatform& FPlatform;
    TDeviceList& FList;
    int FPolls = 0;
};

class InquiryTest : public ::testing::Test {
protected:
    InquiryTest() : FInstalled(Platform), Host(*Platform, Session.List()) {}

    TBTDevice& Store(const std::string& address, std::int32_t lastSeen) {
        TDeviceListLock lock(Session.List());
        TBTDevice& device = Session.List().AddDevice(address);
        device.Name = "Stored";
        device.LastSeen = lastSeen;
        device.SeenCount = 4;
        device.Location = "Elsewhere";
        return device;
    }

    std::vector<std::string> ServiceBegins() {
        std::vector<std::string> begins;
        for (const std::string& call : Platform->Calls())
            if (call.rfind("ServiceBegin", 0) == 0)
                begins.push_back(call);
        return begins;
    }

    TTestClock Clock{Start};
    TTestSession Session;
    std::shared_ptr<TScriptedPlatform> Platform = std::make_shared<TScriptedPlatform>();
    TInstalledPlatform FInstalled;
    TRecordingHost Host;
};

TEST_F(InquiryTest, FirstSightingRecordsAnnouncesThenQueries) {
    TTraceCapture trace(100);
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};
    Platform->Services[OrganizerText] = {
        0, {{std::string("\x35\x03\x09\x00\x00", 5)}, {std::string("\x35\x00", 2)}}};
    Platform->BeforeServiceNext = [this](const std::string&) {
        EXPECT_TRUE(LockIsFree(Session.List())) << "lock held across a platform call";
    };
    int changes = 0;
    Session.List().SetChangeCallback([&changes] { ++changes; });

    EXPECT_TRUE(BTPerformDiscovery());

    const TBTDevice device = Snapshot(Session.List(), OrganizerText);
    EXPECT_EQ(device.Address, OrganizerText);
    EXPECT_EQ(device.Name, "Organizer");
    EXPECT_EQ(device.FirstSeen, Start);
    EXPECT_EQ(device.LastSeen, Start);
    EXPECT_EQ(device.SeenCount, 1);
    EXPECT_EQ(device.Location, "Lab");
    EXPECT_EQ(device.MajorClass(), 2);
    EXPECT_EQ(device.MinorClass(), 3);
    EXPECT_EQ(device.Type, dtPhone);
    EXPECT_EQ(device.RawSDPRecords.size(), 2u);
    EXPECT_EQ(changes, 3) << "one for the record, one per stored service record";
    EXPECT_THAT(Platform->Calls(),
                ElementsAre("InquiryBegin", "InquiryNext",
                            std::string("log Found new device: ") + OrganizerText, "new device",
                            std::string("ServiceBegin ") + OrganizerText, "ServiceNext", "ServiceNext",
                            "ServiceNext", "ServiceEnd", "InquiryNext", "InquiryEnd"));
    EXPECT_EQ(Platform->OpenLookups(), 0);
    const std::string text = trace.Text();
    EXPECT_THAT(text, HasSubstr("]BTPerformDiscovery:459 Start scan\n"));
    EXPECT_THAT(text,
                HasSubstr(std::string("]BTPerformDiscovery:492    Saw device ") + OrganizerText + "\n"));
    EXPECT_THAT(text, HasSubstr("[Bluetooth]QuerySDP Enter\n"));
    EXPECT_THAT(text, HasSubstr("]QuerySDP:376 SDP lookup\n"));
    EXPECT_THAT(text, HasSubstr("[Bluetooth]QuerySDP Exit\n"));
}

TEST_F(InquiryTest, FirstSightingWithoutNameKeepsUnknown) {
    Platform->Inquiry = {{Sighting(Organizer, "", 0x20C)}};
    EXPECT_TRUE(BTPerformDiscovery());
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).Name, "Unknown");
}

TEST_F(InquiryTest, NameOfAnyBytesIsStoredUnchanged) {
    const std::string name("\xFF\x01\x7F\x80\x81 \xE9", 7);
    Platform->Inquiry = {{Sighting(Organizer, name, 0x20C)}};
    EXPECT_TRUE(BTPerformDiscovery());
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).Name, name);
}

TEST_F(InquiryTest, SameDeviceASecondLaterIsCountedButNotAnnouncedOrQueried) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};
    EXPECT_TRUE(BTPerformDiscovery());
    Clock.Set(Start + 1);
    EXPECT_TRUE(BTPerformDiscovery());

    const TBTDevice device = Snapshot(Session.List(), OrganizerText);
    EXPECT_EQ(device.SeenCount, 2);
    EXPECT_EQ(device.FirstSeen, Start);
    EXPECT_EQ(device.LastSeen, Start + 1);
    EXPECT_EQ(Session.List().Count(), 1);
    EXPECT_EQ(ServiceBegins().size(), 1u);
    const auto calls = Platform->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("new device")), 1);
}

struct TRequeryCase {
    std::int64_t Absence;
    bool Queried;
};

class RequeryTest : public InquiryTest, public ::testing::WithParamInterface<TRequeryCase> {};

TEST_P(RequeryTest, ReturningDeviceIsQueriedOnlyAfterMoreThanFiveMinutes) {
    Store(OrganizerText, std::int32_t(Start - GetParam().Absence));
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};

    EXPECT_TRUE(BTPerformDiscovery());

    EXPECT_EQ(ServiceBegins().size(), GetParam().Queried ? 1u : 0u)
        << "absent " << GetParam().Absence << " s";
    const TBTDevice device = Snapshot(Session.List(), OrganizerText);
    EXPECT_EQ(device.SeenCount, 5);
    EXPECT_EQ(device.LastSeen, Start);
    EXPECT_EQ(device.Location, "Lab");
    const auto calls = Platform->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("new device")), 0)
        << "a known device is not new";
}

INSTANTIATE_TEST_SUITE_P(
    Absences, RequeryTest,
    ::testing::Values(TRequeryCase{1, false}, TRequeryCase{300, false}, TRequeryCase{301, true},
                      TRequeryCase{-50, false},
                      TRequeryCase{std::int64_t(Start) - std::numeric_limits<std::int32_t>::min(), true}));

struct TNameCase {
    std::string Reported;
    std::string Kept;
};

class NameTest : public InquiryTest, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(NameTest, EmptyNameKeepsTheStoredOne) {
    Store(OrganizerText, Start - 10);
    Platform->Inquiry = {{Sighting(Organizer, GetParam().Reported, 0x20C)}};
    EXPECT_TRUE(BTPerformDiscovery());
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).Name, GetParam().Kept);
}

INSTANTIATE_TEST_SUITE_P(Names, NameTest,
                         ::testing::Values(TNameCase{"", "Stored"}, TNameCase{"Renamed", "Renamed"}));

struct TClassCase {
    std::uint32_t ClassOfDevice;
    std::int32_t Major;
    std::int32_t Minor;
};

class ClassTest : public InquiryTest, public ::testing::WithParamInterface<TClassCase> {};

TEST_P(ClassTest, MajorAndMinorComeFromTheirBitsOnly) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", GetParam().ClassOfDevice)}};
    EXPECT_TRUE(BTPerformDiscovery());
    const TBTDevice device = Snapshot(Session.List(), OrganizerText);
    EXPECT_EQ(device.MajorClass(), GetParam().Major) << std::hex << GetParam().ClassOfDevice;
    EXPECT_EQ(device.MinorClass(), GetParam().Minor) << std::hex << GetParam().ClassOfDevice;
}

INSTANTIATE_TEST_SUITE_P(Words, ClassTest,
                         ::testing::Values(TClassCase{0x20C, 2, 3}, TClassCase{0xFFE20C, 2, 3},
                                           TClassCase{0x20F, 2, 3}, TClassCase{0x1FFC, 31, 63},
                                           TClassCase{0, 0, 0}));

TEST_F(InquiryTest, TwoNewDevicesAreAnnouncedAndQueriedInTheOrderFound) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "Headset", 0x240404)}};
    Platform->Services[OrganizerText] = {};
    Platform->Services[HeadsetText] = {};

    EXPECT_TRUE(BTPerformDiscovery());

    std::vector<std::string> announcements;
    for (const std::string& call : Platform->Calls())
        if (call.rfind("log", 0) == 0 || call == "new device" || call.rfind("ServiceBegin", 0) == 0)
            announcements.push_back(call);
    EXPECT_THAT(announcements, ElementsAre(std::string("log Found new device: ") + OrganizerText,
                                           "new device", std::string("ServiceBegin ") + OrganizerText,
                                           std::string("log Found new device: ") + HeadsetText, "new device",
                                           std::string("ServiceBegin ") + HeadsetText));
    TDeviceListLock lock(Session.List());
    ASSERT_EQ(Session.List().Count(), 2);
    EXPECT_EQ(Session.List().GetDevice(0).Address, OrganizerText);
    EXPECT_EQ(Session.List().GetDevice(1).Address, HeadsetText);
}

TEST_F(InquiryTest, NoDeviceInRangeIsANormalEnd) {
    TTraceCapture trace(100);
    Platform->InquiryBeginError = leServiceNotFound;

    EXPECT_TRUE(BTPerformDiscovery());

    EXPECT_EQ(Session.List().Count(), 0);
    EXPECT_THAT(Platform->Calls(), ElementsAre("InquiryBegin"));
    EXPECT_THAT(trace.Text(), HasSubstr("]BTPerformDiscovery:467 No devices found \n"));
}

TEST_F(InquiryTest, TraceBelowItsLevelWritesNothing) {
    TTraceCapture trace(99);
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}};
    EXPECT_TRUE(BTPerformDiscovery());
    EXPECT_THAT(trace.Text(), Not(HasSubstr("Start scan")));
    EXPECT_THAT(trace.Text(), Not(HasSubstr("Saw device")));
}

TEST_F(InquiryTest, TerminationRequestStopsBeforeTheNextResult) {
    Host.PollsBeforeTermination = 1;
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "Headset", 0x240404)}};

    EXPECT_TRUE(BTPerformDiscovery());

    EXPECT_EQ(Session.List().Count(), 1);
    const auto calls = Platform->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("InquiryNext")), 1);
    EXPECT_EQ(calls.back(), "InquiryEnd");
    EXPECT_EQ(Platform->OpenLookups(), 0);
}

// One failure row of the pass: what the script does, the message raised, and the addresses recorded.
struct TFailureCase {
    const char* Name;
    std::function<void(TScriptedPlatform&)> Script;
    std::string Message;
    std::vector<std::string> Recorded;
};

class InquiryFailureTest : public InquiryTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(InquiryFailureTest, FailureEndsThePassAndKeepsWhatWasRecorded) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "Headset", 0x240404)}};
    Platform->Services[OrganizerText] = {};
    GetParam().Script(*Platform);

    try {
        BTPerformDiscovery();
        ADD_FAILURE() << "no failure raised";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(error.what(), GetParam().Message);
    }

    EXPECT_EQ(Platform->OpenLookups(), 0) << "every lookup and converter is ended";
    std::vector<std::string> recorded;
    TDeviceListLock lock(Session.List());
    for (int i = 0; i < Session.List().Count(); ++i)
        recorded.push_back(Session.List().GetDevice(i).Address);
    EXPECT_EQ(recorded, GetParam().Recorded);
}

const std::string DeadNetwork = "A socket operation encountered a dead network.\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, InquiryFailureTest,
    ::testing::Values(
        TFailureCase{"BeginFails",
                     [](TScriptedPlatform& p) { p.InquiryBeginError = leNetworkDown; },
                     "Unable to start device lookup.\n\nError: " + DeadNetwork,
                     {}},
        TFailureCase{"BeginFailsWithUnknownNumber",
                     [](TScriptedPlatform& p) { p.InquiryBeginError = 4000000000u; },
                     "Unable to start device lookup.\n\nError: 4000000000",
                     {}},
        TFailureCase{"NextFails",
                     [](TScriptedPlatform& p) {
                         p.Inquiry[1] = {TInquiryResult{}, leNetworkDown};
                     },
                     "Unable to read device information.\n\nError: " + DeadNetwork,
                     {OrganizerText}},
        TFailureCase{"ResultLargerThanTheBuffer",
                     [](TScriptedPlatform& p) { p.Inquiry[1].Result.Name = std::string(900, 'n'); },
                     "Unable to read device information.\n\nError: The data area passed to a system call is "
                     "too small.\r\n",
                     {OrganizerText}},
        TFailureCase{"NoSocket",
                     [](TScriptedPlatform& p) { p.OpenConverterError = leNetworkDown; },
                     "Unable to get Bluetooth socket.\n\nError: " + DeadNetwork,
                     {}},
        TFailureCase{"NoProtocolInformation",
                     [](TScriptedPlatform& p) { p.ProtocolInformationError = leNetworkDown; },
                     "Unable to get protocol information for Bluetooth socket.\n\nError: " + DeadNetwork,
                     {}},
        TFailureCase{"ResultWithoutAddress",
                     [](TScriptedPlatform& p) { p.Inquiry[1].Result.RemoteAddressLength = 0; },
                     "Unable to convert address to string.\n\nError: The parameter is incorrect.\r\n",
                     {OrganizerText}},
        TFailureCase{"QueryFails",
                     [](TScriptedPlatform& p) { p.Services[OrganizerText].BeginError = leNetworkDown; },
                     "Unable to fetch service information.\n\nError: " + DeadNetwork,
                     {OrganizerText}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(InquiryTest, QueryFailureLosesTheRestOfThePass) {
    Platform->Inquiry = {{Sighting(Organizer, "Organizer", 0x20C)}, {Sighting(Headset, "Headset", 0x240404)}};
    Platform->Services[OrganizerText] = {leNetworkDown, {}};
    EXPECT_THROW(BTPerformDiscovery(), EOrvelleError);
    const auto calls = Platform->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("InquiryNext")), 1);
    EXPECT_EQ(Snapshot(Session.List(), OrganizerText).SeenCount, 1)
        << "the record was updated before the query";
}

TEST_F(InquiryTest, PassWithoutHostOrPlatformIsAFailure) {
    SetDiscoveryHost(nullptr);
    EXPECT_THROW(BTPerformDiscovery(), EOrvelleError);
    SetDiscoveryHost(&Host);
    SetPlatform(nullptr);
    EXPECT_THROW(BTPerformDiscovery(), EOrvelleError);
}

} // namespace
} // namespace orvelle::test
