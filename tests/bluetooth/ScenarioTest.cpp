// Scenario files: the documented example, defaults, every kind of malformed value named by its key,
// the round trip through the writer, and reading files.
#include "bluetooth/Scenario.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string Example = R"({
  "inquiryMillis": 0,
  "radios": [
    { "name": "Lab radio", "address": "00:1A:7D:DA:71:13", "classOfDevice": 260,
      "manufacturer": 10, "lmpSubversion": 8891, "discoverable": true, "connectable": true }
  ],
  "devices": [
    { "address": "00:0A:3A:54:12:34", "name": "Organizer", "classOfDevice": 276,
      "inRange": [[0, 60], [400, 460]],
      "sdp": ["35080900000A00010000"] }
  ],
  "faults": [
    { "op": "inquiryBegin", "from": 5, "to": 8, "error": 10050 }
  ]
})";

std::string ErrorOf(const std::string& text) {
    try {
        ParseScenario(text);
    } catch (const EScenarioError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ScenarioTest, DocumentedExampleIsReadWhole) {
    const TScenario scenario = ParseScenario(Example);
    EXPECT_EQ(scenario.InquiryMillis, 0);
    ASSERT_EQ(scenario.Radios.size(), 1u);
    const TScenarioRadio& radio = scenario.Radios[0];
    EXPECT_EQ(radio.Name, "Lab radio");
    EXPECT_EQ(radio.Address, 0x001A7DDA7113u);
    EXPECT_EQ(radio.ClassOfDevice, 260u);
    EXPECT_EQ(radio.Manufacturer, 10);
    EXPECT_EQ(radio.LmpSubversion, 8891);
    EXPECT_TRUE(radio.Discoverable);
    EXPECT_TRUE(radio.Connectable);
    ASSERT_EQ(scenario.Devices.size(), 1u);
    const TScenarioDevice& device = scenario.Devices[0];
    EXPECT_EQ(device.Address, 0x000A3A541234u);
    EXPECT_EQ(device.Name, "Organizer");
    EXPECT_EQ(device.ClassOfDevice, 276u);
    ASSERT_EQ(device.InRange.size(), 2u);
    EXPECT_EQ(device.InRange[1].From, 400);
    EXPECT_EQ(device.InRange[1].To, 460);
    ASSERT_TRUE(device.Records);
    EXPECT_THAT(*device.Records, ElementsAre(std::string("\x35\x08\x09\x00\x00\x0A\x00\x01\x00\x00", 10)));
    ASSERT_EQ(scenario.Faults.size(), 1u);
    EXPECT_EQ(scenario.Faults[0].Operation, foInquiryBegin);
    EXPECT_EQ(scenario.Faults[0].When.From, 5);
    EXPECT_EQ(scenario.Faults[0].When.To, 8);
    EXPECT_EQ(scenario.Faults[0].Error, 10050u);
    EXPECT_FALSE(scenario.Faults[0].Address);
}

TEST(ScenarioTest, OptionalKeysTakeTheirDefaults) {
    const TScenario empty = ParseScenario("{}");
    EXPECT_EQ(empty.InquiryMillis, 0);
    EXPECT_TRUE(empty.Radios.empty() && empty.Devices.empty() && empty.Faults.empty());

    const TScenario scenario = ParseScenario(R"({"devices": [{"address": "aa:bb:cc:dd:ee:ff", "inRange": []},
        {"address": "00:00:00:00:00:01", "inRange": [], "sdp": null},
        {"address": "00:00:00:00:00:02", "inRange": [], "sdp": []},
        {"address": "00:00:00:00:00:03", "inRange": [], "sdp": ["35 03\t09 00 00", ""]}],
        "radios": [{"name": "", "address": "00:00:00:00:00:09"}]})");
    EXPECT_EQ(scenario.Devices[0].Address, 0xAABBCCDDEEFFu);
    EXPECT_EQ(scenario.Devices[0].Name, "");
    EXPECT_EQ(scenario.Devices[0].ClassOfDevice, 0u);
    EXPECT_FALSE(scenario.Devices[0].Records) << "missing: advertises nothing";
    EXPECT_FALSE(scenario.Devices[1].Records) << "null: advertises nothing";
    ASSERT_TRUE(scenario.Devices[2].Records);
    EXPECT_TRUE(scenario.Devices[2].Records->empty());
    EXPECT_THAT(*scenario.Devices[3].Records, ElementsAre(std::string("\x35\x03\x09\x00\x00", 5), ""));
    EXPECT_FALSE(scenario.Radios[0].Discoverable);
    EXPECT_EQ(scenario.Radios[0].Manufacturer, 0);
}

struct TMalformedCase {
    const char* Name;
    std::string Text;
    std::string Message;
};

class MalformedScenarioTest : public ::testing::TestWithParam<TMalformedCase> {};

TEST_P(MalformedScenarioTest, MessageNamesTheKey) {
    EXPECT_EQ(ErrorOf(GetParam().Text), GetParam().Message);
}

std::string Device(const std::string& members) {
    return R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": [[0, 10]])" + members + "}]}";
}

std::string Fault(const std::string& members) {
    return R"({"faults": [{"op": "sdpBegin", "from": 0, "to": 5)" + members + "}]}";
}

const std::string At = "Scenario error at ";

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedScenarioTest,
    ::testing::Values(
        TMalformedCase{"UnknownTopLevelKey", R"({"colour": 1})", At + "colour: unknown key"},
        TMalformedCase{"UnknownDeviceKey", Device(R"(, "colour": 1)"), At + "devices[0].colour: unknown key"},
        TMalformedCase{"TopLevelNotAnObject", "[]", At + "the top level: expected an object"},
        TMalformedCase{"DeviceNotAnObject", R"({"devices": [5]})", At + "devices[0]: expected an object"},
        TMalformedCase{"DevicesNotAnArray", R"({"devices": {}})", At + "devices: expected an array"},
        TMalformedCase{"MillisAsText", R"({"inquiryMillis": "5"})",
                       At + "inquiryMillis: expected an integer from 0 to 3600000"},
        TMalformedCase{"MillisNegative", R"({"inquiryMillis": -1})",
                       At + "inquiryMillis: expected an integer from 0 to 3600000"},
        TMalformedCase{"MillisFraction", R"({"inquiryMillis": 1.5})",
                       At + "inquiryMillis: expected an integer from 0 to 3600000"},
        TMalformedCase{"MillisHuge", R"({"inquiryMillis": 18446744073709551615})",
                       At + "inquiryMillis: expected an integer from 0 to 3600000"},
        TMalformedCase{"AddressMissing", R"({"devices": [{"inRange": []}]})",
                       At + "devices[0].address: missing"},
        TMalformedCase{"AddressShort", R"({"devices": [{"address": "00:0A:3A:54:12", "inRange": []}]})",
                       At + "devices[0].address: expected an address such as \"00:0A:3A:54:12:34\""},
        TMalformedCase{"AddressNotHex", R"({"devices": [{"address": "00:0A:3A:54:12:3G", "inRange": []}]})",
                       At + "devices[0].address: expected an address such as \"00:0A:3A:54:12:34\""},
        TMalformedCase{"AddressTwice",
                       R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": []},
                                       {"address": "00:0a:3a:54:12:34", "inRange": []}]})",
                       At + "devices[1].address: the same address as an earlier device"},
        TMalformedCase{"NameNotText", Device(R"(, "name": 5)"), At + "devices[0].name: expected a string"},
        TMalformedCase{"ClassTooLarge", Device(R"(, "classOfDevice": 16777216)"),
                       At + "devices[0].classOfDevice: expected an integer from 0 to 16777215"},
        TMalformedCase{"ClassBoolean", Device(R"(, "classOfDevice": true)"),
                       At + "devices[0].classOfDevice: expected an integer from 0 to 16777215"},
        TMalformedCase{"InRangeMissing", R"({"devices": [{"address": "00:0A:3A:54:12:34"}]})",
                       At + "devices[0].inRange: missing"},
        TMalformedCase{"InRangeNotPairs",
                       R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": [[0, 5], [5]]}]})",
                       At + "devices[0].inRange[1]: expected a pair [from, to]"},
        TMalformedCase{"InRangeBackwards",
                       R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": [[5, 3]]}]})",
                       At + "devices[0].inRange[0]: expected from <= to"},
        TMalformedCase{"InRangeNegative",
                       R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": [[-1, 3]]}]})",
                       At + "devices[0].inRange[0][0]: expected an integer from 0 to 9223372036854775807"},
        TMalformedCase{"SdpNotHex", Device(R"(, "sdp": ["3500", "35 0G"])"),
                       At + "devices[0].sdp[1]: expected hexadecimal digits"},
        TMalformedCase{"SdpOddDigits", Device(R"(, "sdp": ["350"])"),
                       At + "devices[0].sdp[0]: expected an even number of hexadecimal digits"},
        TMalformedCase{"SdpNotAnArray", Device(R"(, "sdp": "3500")"),
                       At + "devices[0].sdp: expected an array"},
        TMalformedCase{"SdpItemNotText", Device(R"(, "sdp": [53])"),
                       At + "devices[0].sdp[0]: expected a string"},
        TMalformedCase{
            "FaultUnknownOperation", R"({"faults": [{"op": "scan", "from": 0, "to": 5, "error": 1}]})",
            At + "faults[0].op: expected one of inquiryBegin, inquiryNext, sdpBegin, sdpNext, radioInfo"},
        TMalformedCase{"FaultWithoutError", Fault(""), At + "faults[0].error: missing"},
        TMalformedCase{"FaultErrorZero", Fault(R"(, "error": 0)"),
                       At + "faults[0].error: expected an integer from 1 to 4294967295"},
        TMalformedCase{"FaultBackwards", R"({"faults": [{"op": "sdpNext", "from": 9, "to": 5, "error": 1}]})",
                       At + "faults[0].to: expected to >= from"},
        TMalformedCase{"FaultAddressOnInquiry",
                       R"({"faults": [{"op": "inquiryNext", "from": 0, "to": 5, "error": 1,
                                       "address": "00:0A:3A:54:12:34"}]})",
                       At + "faults[0].address: only allowed for sdpBegin and sdpNext"},
        TMalformedCase{"FaultBadAddress", Fault(R"(, "error": 1, "address": "nowhere")"),
                       At + "faults[0].address: expected an address such as \"00:0A:3A:54:12:34\""},
        TMalformedCase{"RadioWithoutName", R"({"radios": [{"address": "00:1A:7D:DA:71:13"}]})",
                       At + "radios[0].name: missing"},
        TMalformedCase{
            "RadioDiscoverableAsText",
            R"({"radios": [{"name": "r", "address": "00:1A:7D:DA:71:13", "discoverable": "yes"}]})",
            At + "radios[0].discoverable: expected true or false"},
        TMalformedCase{
            "RadioManufacturerTooLarge",
            R"({"radios": [{"name": "r", "address": "00:1A:7D:DA:71:13", "manufacturer": 65536}]})",
            At + "radios[0].manufacturer: expected an integer from 0 to 65535"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(ScenarioTest, TextThatIsNotJsonIsRejected) {
    EXPECT_THAT(ErrorOf("{"), StartsWith("Scenario is not valid JSON: "));
    EXPECT_THAT(
        ErrorOf("{\"devices\": [{\"address\": \"00:0A:3A:54:12:34\", \"inRange\": [], \"name\": \"\xFF\"}]}"),
        StartsWith("Scenario is not valid JSON: "));
}

TEST(ScenarioTest, WrittenScenarioReadsBackUnchanged) {
    TScenario scenario = ParseScenario(Example);
    scenario.Devices.push_back({0x001B66000001, "Caf\xC3\xA9", 0x240404, {{3, 9}}, std::nullopt});
    scenario.Devices.push_back(
        {0x001B66000002, "", 0, {}, std::vector<std::string>{std::string("\x00\xFF", 2)}});
    scenario.Faults.push_back({foSdpNext, {1, 2}, 10060, 0x001B66000001});
    const std::string text = ScenarioToJson(scenario);
    const TScenario back = ParseScenario(text);
    EXPECT_EQ(ScenarioToJson(back), text);
    ASSERT_EQ(back.Devices.size(), 3u);
    EXPECT_EQ(back.Devices[1].Name, "Caf\xC3\xA9");
    EXPECT_FALSE(back.Devices[1].Records);
    EXPECT_THAT(*back.Devices[2].Records, ElementsAre(std::string("\x00\xFF", 2)));
    EXPECT_EQ(back.Faults[1].Address, 0x001B66000001u);
}

TEST(ScenarioTest, FilesAreReadAndTheirProblemsNamed) {
    TTempDir dir;
    const std::string good = dir.File("good.json");
    const std::string bad = dir.File("bad.json");
    {
        std::ofstream(good) << Example;
        std::ofstream(bad) << R"({"devices": [{"address": "00:0A:3A:54:12:34", "inRange": "always"}]})";
    }
    EXPECT_EQ(LoadScenarioFile(good).Devices.size(), 1u);

    const auto errorOf = [](const std::string& path) -> std::string {
        try {
            LoadScenarioFile(path);
        } catch (const EScenarioError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_EQ(errorOf(bad), bad + ": Scenario error at devices[0].inRange: expected an array");
    EXPECT_EQ(errorOf(dir.File("missing.json")),
              "Unable to read scenario file " + dir.File("missing.json") + ": No such file or directory");
    EXPECT_THAT(errorOf(dir.File("")), StartsWith("Unable to read scenario file "));
}

} // namespace
} // namespace orvelle::test
