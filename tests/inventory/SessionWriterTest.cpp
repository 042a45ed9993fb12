// The session file writer: the worked example byte for byte, the fresh session, string wrapping and
// escapes.
#include "InventoryTestSupport.h"

#include "inventory/SessionFile.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using test::TestData;
using test::WorkedExampleState;

TEST(SessionWriter, ReproducesTheWorkedExampleByteForByte) {
    const std::string expected = TestData("worked_example.dat");
    ASSERT_EQ(expected.size(), 670u);
    const auto state = WorkedExampleState();
    EXPECT_EQ(ComponentToText(*state), expected);
}

TEST(SessionWriter, FreshSessionIsFourLines) {
    const TSessionState state;
    EXPECT_EQ(ComponentToText(state),
              "object TSessionState\r\n"
              "  DeviceList = <>\r\n"
              "  FoundSound = 'C:\\WINDOWS\\Media\\Windows XP Information Bar.wav'\r\n"
              "end\r\n");
}

// The text of a session whose only non-default property is the location LOCATION.
std::string LocationText(const std::string& location) {
    TSessionState state;
    state.FoundSound.clear();
    state.SetLocation(location);
    state.LocationList.clear();
    return ComponentToText(state);
}

struct TStringCase {
    const char* Name;
    std::string Value;
    std::string Written;
};

TEST(SessionWriter, WrapsAndEscapesStrings) {
    const std::string a64(64, 'a');
    const std::string a65(65, 'a');
    const TStringCase cases[] = {
        {"64 plain units stay on the line", a64, "'" + a64 + "'"},
        {"65 units start on their own line", a65, "\r\n    '" + a64 + "' +\r\n    'a'"},
        {"apostrophe", "It's", "'It'#39's'"},
        {"control characters", std::string("a\0b\n\r", 5), "'a'#0'b'#10#13"},
        {"code page letters as Unicode codes", "caf\xE9 \x80\x81\x9F\xFF", "'caf'#233' '#8364#129#376#255"},
        {"the highest plain character is quoted", "\x7F", "'\x7F'"},
        {"only specials", "''", "#39#39"},
        // 63 plain units and one escape fill the line; the break comes after the escape.
        {"escape closing a full line", std::string(63, 'b') + "\n" + "cc",
         "\r\n    '" + std::string(63, 'b') + "'#10 +\r\n    'cc'"},
        // 64 escapes fill the property's own line: nothing remains, so no continuation.
        {"64 escapes", std::string(64, '\t'),
         [] {
             std::string text;
             for (int i = 0; i < 64; ++i)
                 text += "#9";
             return text;
         }()},
    };
    for (const TStringCase& c : cases) {
        const std::string expected =
            "object TSessionState\r\n  DeviceList = <>\r\n  Location = " + c.Written + "\r\nend\r\n";
        EXPECT_EQ(LocationText(c.Value), expected) << c.Name;
    }
}

// The 93-unit log line: 64 units on the first line, the list's line of four blanks before it.
TEST(SessionWriter, WrapsALongLogLineAfterSixtyFourUnits) {
    TSessionState state;
    state.FoundSound.clear();
    state.Log = {"12/07/05 at 09:20:00: Unable to fetch service information.\n\nError: The device is not "
                 "ready.\r\n",
                 "x"};
    ASSERT_EQ(state.Log[0].size(), 93u);
    EXPECT_EQ(ComponentToText(state),
              "object TSessionState\r\n"
              "  DeviceList = <>\r\n"
              "  Log.Strings = (\r\n"
              "    \r\n"
              "      '12/07/05 at 09:20:00: Unable to fetch service information.'#10#10'Erro' +\r\n"
              "      'r: The device is not ready.'#13#10\r\n"
              "    'x')\r\n"
              "end\r\n");
}

TEST(SessionWriter, WritesOnlyPropertiesThatAreNotEmpty) {
    TSessionState state;
    state.FoundSound.clear();
    TBTDevice& device = state.DeviceList().AddDevice();
    device.Name.clear();
    device.FirstSeen = 0;
    device.Flags = -1;
    device.RawSDPStream = "\x35";
    state.DeviceList().AddDevice("second").FirstSeen = -2147483647 - 1;
    EXPECT_EQ(ComponentToText(state), "object TSessionState\r\n"
                                      "  DeviceList = <\r\n"
                                      "    item\r\n"
                                      "      Flags = -1\r\n"
                                      "      RawSDPStream = '5'\r\n"
                                      "    end\r\n"
                                      "    item\r\n"
                                      "      Name = 'Unknown'\r\n"
                                      "      Address = 'second'\r\n"
                                      "      FirstSeen = -2147483648\r\n"
                                      "    end>\r\n"
                                      "end\r\n");
}

TEST(SessionWriter, WritesTheObjectNameAFileGaveIt) {
    TSessionState state;
    state.Name = "Session1";
    EXPECT_EQ(ComponentToText(state).substr(0, 33), "object Session1: TSessionState\r\n ");
}

} // namespace
} // namespace orvelle
