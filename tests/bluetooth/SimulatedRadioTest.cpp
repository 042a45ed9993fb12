// The simulated radio: who is in range when, what devices report and advertise, faults, buffers,
// radios, and that every handle it gives out can be closed.
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/BTInterface.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr std::int32_t Opened = 1300000000;
const std::string RecordA("\x35\x03\x09\x00\x00", 5);
const std::string RecordB("\x35\x00", 2);

TScenario TwoDevices() {
    return ParseScenario(R"({
      "devices": [
        {"address": "00:0A:3A:54:12:34", "name": "Organizer", "classOfDevice": 276,
         "inRange": [[0, 60], [400, 460]], "sdp": ["3503090000", "3500"]},
        {"address": "00:1B:66:00:00:01", "name": "", "classOfDevice": 2360324, "inRange": [[30, 100]], "sdp": []},
        {"address": "00:1B:66:00:00:02", "name": "Silent", "inRange": [[1000, 1001]]}
      ],
      "radios": [
        {"name": "Lab radio", "address": "00:1A:7D:DA:71:13", "classOfDevice": 260, "manufacturer": 10,
         "lmpSubversion": 65535, "discoverable": true, "connectable": false},
        {"name": "Caf\u00e9 \u4e2d", "address": "00:00:00:00:00:01"}
      ]
    })");
}

class SimulatedRadioTest : public ::testing::Test {
protected:
    // The results of one whole inquiry at T seconds after opening, or none when it finds nothing.
    std::optional<std::vector<TInquiryResult>> InquiryAt(std::int64_t t) {
        Clock.Set(std::int32_t(Opened + t));
        TLookupHandle handle = 0;
        if (!Radio->InquiryBegin(handle)) {
            EXPECT_EQ(GetLastError(), leServiceNotFound);
            return std::nullopt;
        }
        std::vector<TInquiryResult> results;
        TInquiryResult result;
        while (Radio->InquiryNext(handle, InquiryBufferLength, result))
            results.push_back(result);
        EXPECT_EQ(GetLastError(), leNoMoreResults);
        Radio->InquiryEnd(handle);
        return results;
    }

    std::vector<std::uint64_t> AddressesAt(std::int64_t t) {
        std::vector<std::uint64_t> addresses;
        for (const TInquiryResult& result : InquiryAt(t).value_or(std::vector<TInquiryResult>{}))
            addresses.push_back(result.RemoteAddress.Address);
        return addresses;
    }

    // The outcome of a whole service lookup: the records, or the error of the call that failed.
    std::variant<std::vector<std::string>, std::uint32_t> Services(const std::string& address) {
        TLookupHandle handle = 0;
        if (!Radio->ServiceBegin(address, handle))
            return GetLastError();
        std::vector<std::string> records;
        TServiceResult result;
        while (Radio->ServiceNext(handle, ServiceBufferLength, result))
            records.push_back(result.Record.value());
        const std::uint32_t error = GetLastError();
        Radio->ServiceEnd(handle);
        if (error != leNoMoreResults)
            return error;
        return records;
    }

    void Open(TScenario scenario) { Radio = std::make_unique<TSimulatedRadio>(std::move(scenario)); }

    TTestClock Clock{Opened};
    std::unique_ptr<TSimulatedRadio> Radio = std::make_unique<TSimulatedRadio>(TwoDevices());
};

TEST_F(SimulatedRadioTest, DevicesAreInRangeDuringTheirSpans) {
    const std::uint64_t a = 0x000A3A541234;
    const std::uint64_t b = 0x001B66000001;
    const std::vector<std::pair<std::int64_t, std::vector<std::uint64_t>>> table{
        {0, {a}},  {29, {a}}, {30, {a, b}}, {59, {a, b}}, {60, {b}}, {99, {b}},
        {100, {}}, {399, {}}, {400, {a}},   {459, {a}},   {460, {}}, {-5, {}}};
    for (const auto& [t, expected] : table)
        EXPECT_EQ(AddressesAt(t), expected) << "at " << t << " s";
    EXPECT_EQ(Radio->OpenHandles(), 0u);
}

TEST_F(SimulatedRadioTest, ResultsCarryNameClassAndAddress) {
    const auto results = InquiryAt(30).value();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Name, "Organizer");
    EXPECT_EQ(results[0].ClassOfDevice, 276u);
    EXPECT_EQ(results[0].RemoteAddressLength, BluetoothAddressLength);
    EXPECT_EQ(results[1].Name, "") << "the device reports no name";
    EXPECT_EQ(results[1].ClassOfDevice, 2360324u);
}

TEST_F(SimulatedRadioTest, NamesArrivePlatformTextInTheCodePage) {
    const std::vector<std::pair<std::string, std::string>> table{{"Caf\\u00e9", "Caf\xE9"},
                                                                 {"\\u20ac 5", "\x80 5"},
                                                                 {"\\u4e2d\\u6587", "??"},
                                                                 {"before\\u0000after", "before"},
                                                                 {"\\u0081\\u00ff", "\x81\xFF"}};
    for (const auto& [json, reported] : table) {
        Open(ParseScenario(R"({"devices": [{"address": "00:00:00:00:00:01", "inRange": [[0, 1]], "name": ")" +
                           json + "\"}]}"));
        EXPECT_EQ(InquiryAt(0).value().at(0).Name, reported) << json;
    }
}

TEST_F(SimulatedRadioTest, ServiceLookupsGiveTheRecordsOrTheirOutcome) {
    using TOutcome = std::variant<std::vector<std::string>, std::uint32_t>;
    EXPECT_EQ(Services("(00:0A:3A:54:12:34)"), TOutcome(std::vector<std::string>{RecordA, RecordB}));
    EXPECT_EQ(Services("(00:1B:66:00:00:01)"), TOutcome(std::vector<std::string>{}));
    EXPECT_EQ(Services("(00:1B:66:00:00:02)"), TOutcome(std::uint32_t(leServiceNotFound)));
    EXPECT_EQ(Services("(00:99:99:99:99:99)"), TOutcome(std::uint32_t(leTimedOut)));
    EXPECT_EQ(Services("00:0A:3A:54:12:34"), TOutcome(std::uint32_t(leInvalidParameter)));
    EXPECT_EQ(Radio->OpenHandles(), 0u);
}

TEST_F(SimulatedRadioTest, ResultsLargerThanTheBufferFailTheirCall) {
    TScenario scenario;
    scenario.Devices.push_back(
        {1, std::string(900, 'n'), 0, {{0, 1}}, std::vector<std::string>{std::string(1900, 'r')}});
    Open(std::move(scenario));

    TLookupHandle handle = 0;
    TInquiryResult result;
    ASSERT_TRUE(Radio->InquiryBegin(handle));
    EXPECT_FALSE(Radio->InquiryNext(handle, InquiryBufferLength, result));
    EXPECT_EQ(GetLastError(), leInsufficientBuffer);
    EXPECT_TRUE(Radio->InquiryNext(handle, 2000, result)) << "the result stays next";
    Radio->InquiryEnd(handle);

    EXPECT_EQ(Services("(00:00:00:00:00:01)"),
              (std::variant<std::vector<std::string>, std::uint32_t>(std::uint32_t(leInsufficientBuffer))));
}

// The outcome of each operation: 0 when it worked, Skipped when it could not be tried, else its error.
constexpr std::uint32_t Skipped = 1;
constexpr std::uint32_t F = leNetworkDown;

struct TFaultCase {
    const char* Name;
    std::string Fault;
    // Inquiry begin and next, SDP begin and next of the organizer and of the headset, radio information.
    std::vector<std::uint32_t> During;
};

class SimulatedFaultTest : public SimulatedRadioTest, public ::testing::WithParamInterface<TFaultCase> {
protected:
    static std::uint32_t Outcome(bool worked) { return worked ? 0 : GetLastError(); }

    std::vector<std::uint32_t> Outcomes(std::int64_t t) {
        Clock.Set(std::int32_t(Opened + t));
        std::vector<std::uint32_t> outcomes;
        TLookupHandle handle = 0;
        TInquiryResult result;
        const bool begun = Radio->InquiryBegin(handle);
        outcomes.push_back(Outcome(begun));
        outcomes.push_back(begun ? Outcome(Radio->InquiryNext(handle, InquiryBufferLength, result))
                                 : Skipped);
        if (begun)
            Radio->InquiryEnd(handle);
        for (const char* address : {"(00:0A:3A:54:12:34)", "(00:1B:66:00:00:01)"}) {
            TServiceResult record;
            const bool serviceBegun = Radio->ServiceBegin(address, handle);
            outcomes.push_back(Outcome(serviceBegun));
            if (!serviceBegun) {
                outcomes.push_back(Skipped);
                continue;
            }
            const std::uint32_t next = Outcome(Radio->ServiceNext(handle, ServiceBufferLength, record));
            outcomes.push_back(next == leNoMoreResults ? 0 : next);
            Radio->ServiceEnd(handle);
        }
        TRadioFindHandle find = 0;
        TRadioHandle radio = 0;
        TRadioInformation information;
        EXPECT_TRUE(Radio->FindFirstRadio(find, radio));
        outcomes.push_back(Outcome(Radio->GetRadioInfo(radio, information)));
        Radio->CloseRadio(radio);
        Radio->FindRadioClose(find);
        return outcomes;
    }
};

TEST_P(SimulatedFaultTest, OperationFailsOnlyDuringItsSpan) {
    TScenario scenario = TwoDevices();
    scenario.Devices[0].InRange = {{0, 1000}};
    scenario.Devices[1].InRange = {{0, 1000}};
    scenario.Faults = ParseScenario(R"({"faults": [)" + GetParam().Fault + "]}").Faults;
    Open(std::move(scenario));
    const std::vector<std::uint32_t> allWork(7, 0);

    EXPECT_EQ(Outcomes(4), allWork);
    EXPECT_EQ(Outcomes(5), GetParam().During);
    EXPECT_EQ(Outcomes(7), GetParam().During);
    EXPECT_EQ(Outcomes(8), allWork);
    EXPECT_EQ(Radio->OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, SimulatedFaultTest,
    ::testing::Values(TFaultCase{"InquiryBegin",
                                 R"({"op": "inquiryBegin", "from": 5, "to": 8, "error": 10050})",
                                 {F, Skipped, 0, 0, 0, 0, 0}},
                      TFaultCase{"InquiryNext",
                                 R"({"op": "inquiryNext", "from": 5, "to": 8, "error": 10050})",
                                 {0, F, 0, 0, 0, 0, 0}},
                      TFaultCase{"SdpBegin",
                                 R"({"op": "sdpBegin", "from": 5, "to": 8, "error": 10050})",
                                 {0, 0, F, Skipped, F, Skipped, 0}},
                      TFaultCase{"SdpNext",
                                 R"({"op": "sdpNext", "from": 5, "to": 8, "error": 10050})",
                                 {0, 0, 0, F, 0, F, 0}},
                      TFaultCase{"RadioInfo",
                                 R"({"op": "radioInfo", "from": 5, "to": 8, "error": 10050})",
                                 {0, 0, 0, 0, 0, 0, F}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SimulatedRadioTest, FaultWithAnAddressHitsOnlyThatDevice) {
    TScenario scenario = TwoDevices();
    scenario.Faults =
        ParseScenario(
            R"({"faults": [{"op": "sdpBegin", "from": 0, "to": 8, "error": 10060, "address": "00:1B:66:00:00:01"}]})")
            .Faults;
    Open(std::move(scenario));
    using TOutcome = std::variant<std::vector<std::string>, std::uint32_t>;
    EXPECT_EQ(Services("(00:0A:3A:54:12:34)"), TOutcome(std::vector<std::string>{RecordA, RecordB}));
    EXPECT_EQ(Services("(00:1B:66:00:00:01)"), TOutcome(std::uint32_t(leTimedOut)));
}

TEST_F(SimulatedRadioTest, RadiosAreFoundInOrderWithTheirInformation) {
    TRadioFindHandle find = 0;
    TRadioHandle first = 0;
    TRadioHandle second = 0;
    TRadioHandle none = 0;
    ASSERT_TRUE(Radio->FindFirstRadio(find, first));
    ASSERT_TRUE(Radio->FindNextRadio(find, second));
    EXPECT_FALSE(Radio->FindNextRadio(find, none));
    EXPECT_EQ(GetLastError(), leNoMoreItems);

    TRadioInformation information;
    ASSERT_TRUE(Radio->GetRadioInfo(first, information));
    EXPECT_THAT(information.Address, ElementsAre(0x13, 0x71, 0xDA, 0x7D, 0x1A, 0x00))
        << "least significant first";
    EXPECT_EQ(information.Name, u"Lab radio");
    EXPECT_EQ(information.ClassOfDevice, 260u);
    EXPECT_EQ(information.Manufacturer, 10);
    EXPECT_EQ(information.LmpSubversion, 65535);
    EXPECT_TRUE(Radio->IsDiscoverable(first));
    EXPECT_FALSE(Radio->IsConnectable(first));
    ASSERT_TRUE(Radio->GetRadioInfo(second, information));
    EXPECT_EQ(information.Name, u"Caf\u00e9 ?") << "as the code page can show it";

    Radio->CloseRadio(first);
    Radio->CloseRadio(second);
    EXPECT_FALSE(Radio->GetRadioInfo(first, information)) << "a closed handle is no radio";
    Radio->FindRadioClose(find);
    EXPECT_EQ(Radio->OpenHandles(), 0u);

    Open(TScenario{});
    EXPECT_FALSE(Radio->FindFirstRadio(find, first));
    EXPECT_EQ(GetLastError(), leNoMoreItems);
}

TEST_F(SimulatedRadioTest, InquiryTakesTheScenarioTime) {
    TScenario scenario;
    scenario.InquiryMillis = 250;
    std::vector<long> waits;
    TSimulatedRadio radio(scenario,
                          [&waits](std::chrono::milliseconds wait) { waits.push_back(wait.count()); });
    TLookupHandle handle = 0;
    EXPECT_FALSE(radio.InquiryBegin(handle));
    EXPECT_THAT(waits, ElementsAre(250));
}

// A pass is judged by the time it starts, however long the inquiry then takes: the devices in range
// and the faults of the begin are those of the start.
TEST_F(SimulatedRadioTest, PassIsJudgedByItsStartTime) {
    TScenario scenario = ParseScenario(R"({
      "inquiryMillis": 2000,
      "devices": [{"address": "00:0A:3A:54:12:34", "inRange": [[0, 1]]}],
      "faults": [{"op": "inquiryBegin", "from": 5, "to": 6, "error": 10050}]
    })");
    std::int64_t now = 0;
    TSimulatedRadio radio(scenario, [this, &now](std::chrono::milliseconds wait) {
        now += wait.count() / 1000;
        Clock.Set(std::int32_t(Opened + now));
    });
    struct TCase {
        std::int64_t Start;
        bool Begins;
        std::uint32_t Error;
    };
    for (const TCase& test :
         {TCase{0, true, leSuccess}, TCase{3, false, leServiceNotFound}, TCase{5, false, leNetworkDown}}) {
        now = test.Start;
        Clock.Set(std::int32_t(Opened + now));
        SetLastError(leSuccess);
        TLookupHandle handle = 0;
        const bool begun = radio.InquiryBegin(handle);
        EXPECT_EQ(begun, test.Begins) << "pass starting at " << test.Start;
        EXPECT_EQ(GetLastError(), test.Error) << "pass starting at " << test.Start;
        if (begun)
            radio.InquiryEnd(handle);
    }
}

TEST(PlatformTest, AddressTextIsSixUpperCaseBytesInParentheses) {
    const std::vector<std::pair<std::uint64_t, std::string>> table{{0x000A3A541234, "(00:0A:3A:54:12:34)"},
                                                                   {0, "(00:00:00:00:00:00)"},
                                                                   {0xFFFFFFFFFFFF, "(FF:FF:FF:FF:FF:FF)"},
                                                                   {0xabcdef012345, "(AB:CD:EF:01:23:45)"}};
    for (const auto& [address, text] : table) {
        EXPECT_EQ(FormatAddressText(address), text);
        EXPECT_EQ(ParseAddressText(text), address) << text;
    }
    for (const char* bad : {"00:0A:3A:54:12:34", "(00:0A:3A:54:12:3)", "(00-0A-3A-54-12-34)",
                            "(00:0A:3A:54:12:34", "(00:0A:3A:54:12:3G)", "", "()"})
        EXPECT_FALSE(ParseAddressText(bad)) << bad;
}

TEST(PlatformTest, DefaultConversionNeedsAWholeAddress) {
    TScriptedPlatform platform;
    std::string text;
    EXPECT_TRUE(platform.TBluetoothPlatform::AddressToString(0, TSocketAddress{0x000A3A541234}, 6, text));
    EXPECT_EQ(text, "(00:0A:3A:54:12:34)");
    for (const int length : {0, 5, 8, -1}) {
        EXPECT_FALSE(platform.TBluetoothPlatform::AddressToString(0, TSocketAddress{1}, length, text))
            << length;
        EXPECT_EQ(GetLastError(), leInvalidParameter);
    }
}

} // namespace
} // namespace orvelle::test
