// The session file reader: the worked example read back, the freedoms every reader of the format
// accepts, the rejections, and properties applied in the order of the file.
#include "InventoryTestSupport.h"

#include "inventory/SessionFile.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using test::TestData;
using test::TFixedClock;
using test::WorkedExampleRecord;

const std::string WorkedExample = TestData("worked_example.dat");

// The whole text of a session with BODY as its property lines.
std::string Root(const std::string& body) {
    return "object TSessionState\r\n" + body + "end\r\n";
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(SessionReader, ReadsTheWorkedExampleBackToTheSameState) {
    const auto state = ComponentFromText(WorkedExample);
    ASSERT_NE(state, nullptr);
    const TDeviceListLock guard(state->DeviceList());
    ASSERT_EQ(state->DeviceList().Count(), 1);
    const TBTDevice& device = state->DeviceList().GetDevice(0);
    EXPECT_EQ(device.Name, "Organizer");
    EXPECT_EQ(device.Address, "(00:0A:3A:54:12:34)");
    EXPECT_EQ(device.Type, dtPDA);
    EXPECT_EQ(device.MajorClass(), 1);
    EXPECT_EQ(device.MinorClass(), 5);
    EXPECT_EQ(device.FirstSeen, 1133946400);
    EXPECT_EQ(device.LastSeen, 1133946800);
    EXPECT_EQ(device.SeenCount, 3);
    EXPECT_EQ(device.Flags, 0);
    EXPECT_EQ(device.RawSDPStream, "");
    EXPECT_EQ(device.RawSDPRecords, std::vector<std::string>{WorkedExampleRecord});
    EXPECT_EQ(device.Location, "Office");
    EXPECT_EQ(state->LocationList, std::vector<std::string>{"Office"});
    EXPECT_EQ(state->Location(), "Office");
    EXPECT_EQ(state->Log, test::WorkedExampleState()->Log);
    EXPECT_TRUE(state->HideInactive);
    EXPECT_EQ(state->FoundSound, DefaultFoundSound);
    EXPECT_EQ(ComponentToText(*state), WorkedExample);
}

// Every byte value survives a save and load, in a record and in a text.
TEST(SessionReader, EveryByteValueRoundTrips) {
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes += static_cast<char>(value);
    TSessionState state;
    TBTDevice& device = state.DeviceList().AddDevice(bytes);
    device.RawSDPRecords = {bytes, std::string(), bytes + bytes};
    device.Name = bytes;
    state.Log = {bytes};
    const auto loaded = ComponentFromText(ComponentToText(state));
    ASSERT_NE(loaded, nullptr);
    const TDeviceListLock guard(loaded->DeviceList());
    const TBTDevice& read = loaded->DeviceList().GetDevice(0);
    EXPECT_EQ(read.Address, bytes);
    EXPECT_EQ(read.Name, bytes);
    EXPECT_EQ(read.RawSDPRecords, (std::vector<std::string>{bytes, std::string(), bytes + bytes}));
    EXPECT_EQ(loaded->Log, std::vector<std::string>{bytes});
}

struct TFreedom {
    const char* Name;
    std::string Text;
};

// Layouts that other writers or a person with an editor produce: each reads as the worked example.
TEST(SessionReader, AcceptsTheFreedomsOfTheFormat) {
    const TFreedom freedoms[] = {
        {"letter case of keywords, names and identifiers",
         ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(WorkedExample, "object", "OBJECT"),
                                                                "item", "Item"),
                                                     "HideInactive = True", "hideinactive = TRUE"),
                                          "Type = dtPDA", "TYPE = DTPDA"),
                               "RawSDPRecords.Strings", "rawsdprecords.STRINGS"),
                    "end", "END")},
        {"line feeds and tabs", ReplaceAll(ReplaceAll(WorkedExample, "\r\n", "\n"), "  ", "\t")},
        {"everything on one line", ReplaceAll(WorkedExample, "\r\n", " ")},
        {"joined strings", ReplaceAll(WorkedExample, "'Organizer'", "'Orga' +\r\n  'ni'+'zer'")},
        {"doubled apostrophes and escapes of printable characters",
         ReplaceAll(WorkedExample, "'Organizer'", "'Organi''''zer'#79#0")},
        {"inherited root", ReplaceAll(WorkedExample, "object", "inherited")},
        {"inline root", ReplaceAll(WorkedExample, "object", "inline")},
        {"indexes after the class and items",
         ReplaceAll(ReplaceAll(WorkedExample, "TSessionState", "TSessionState [0]"), "item", "item [7]")},
        {"hexadecimal integers", ReplaceAll(WorkedExample, "MinorClass = 5", "MinorClass = $05")},
        {"text after the root's end", WorkedExample + "garbage 'unterminated\r\n"},
        {"a NUL byte ends the text", WorkedExample + std::string("\0garbage", 8)},
        {"escape without digits is NUL", ReplaceAll(WorkedExample, "#0#0#10", "##0#10")},
    };
    for (const TFreedom& freedom : freedoms) {
        const auto state = ComponentFromText(freedom.Text);
        ASSERT_NE(state, nullptr) << freedom.Name << "\n" << freedom.Text;
        std::string expected = WorkedExample;
        if (std::string(freedom.Name).starts_with("doubled"))
            expected = ReplaceAll(WorkedExample, "'Organizer'", "'Organi'#39#39'zerO'#0");
        EXPECT_EQ(ComponentToText(*state), expected) << freedom.Name;
    }
}

TEST(SessionReader, KeepsTheObjectNameOfANamedRoot) {
    const auto state =
        ComponentFromText(ReplaceAll(WorkedExample, "object TSessionState", "object Main: TSessionState"));
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Name, "Main");
    EXPECT_EQ(ComponentToText(*state), ReplaceAll(WorkedExample, "object ", "object Main: "));
}

// Quoted bytes above 127 are code-page text unless an escape above 127 makes the string Unicode, in
// which case they are Unicode codes (0x80 has no form in the code page and becomes '?').
TEST(SessionReader, DecodesEightBitAndUnicodeStrings) {
    struct TCase {
        std::string Written;
        std::string Text;
    };
    const TCase cases[] = {
        {"'caf\xE9'", "caf\xE9"},
        {"'\x80'#65", "\x80"
                      "A"},
        {"'\x80'#233", "?\xE9"},
        {"#8364#8482#129", "\x80\x99\x81"},
        {"#937", "?"},
        {"#55357#56832'x'", "?x"},
        {"#65535", "?"},
    };
    for (const TCase& c : cases) {
        const auto state = ComponentFromText(Root("  FoundSound = " + c.Written + "\r\n"));
        ASSERT_NE(state, nullptr) << c.Written;
        EXPECT_EQ(state->FoundSound, c.Text) << c.Written;
    }
}

TEST(SessionReader, RejectsMalformedTextAsAWhole) {
    const std::string longLine(4095, ' ');
    const TFreedom rejected[] = {
        {"empty text", ""},
        {"only white space", " \r\n"},
        {"no object keyword", "TSessionState\r\nend\r\n"},
        {"wrong root class", "object TMainForm\r\nend\r\n"},
        {"missing end", "object TSessionState\r\n  HideInactive = True\r\n"},
        {"unknown session property", Root("  Colour = 1\r\n")},
        {"unknown device property", ReplaceAll(WorkedExample, "SeenCount = 3", "Colour = 3")},
        {"unknown property after the others",
         ReplaceAll(WorkedExample, "  HideInactive", "  Colour = 1\r\n  HideInactive")},
        {"truncated in an item", WorkedExample.substr(0, WorkedExample.find("Location = 'Office'"))},
        {"truncated inside a string", WorkedExample.substr(0, WorkedExample.find("Office'"))},
        {"truncated before the root's end", WorkedExample.substr(0, WorkedExample.size() - 5)},
        {"floating-point number", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = 3.0")},
        {"exponent", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = 3e2")},
        {"currency suffix", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = 3c")},
        {"integer above the 32-bit range",
         ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = 2147483648")},
        {"integer below the 32-bit range",
         ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = -2147483649")},
        {"hexadecimal above the range", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = $80000000")},
        {"huge integer", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = 99999999999999999999999")},
        {"minus without digits", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = -")},
        {"dollar without digits", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = $")},
        {"unknown device type", ReplaceAll(WorkedExample, "dtPDA", "dtToaster")},
        {"device type as a number", ReplaceAll(WorkedExample, "dtPDA", "3")},
        {"nil device list", Root("  DeviceList = nil\r\n")},
        {"nil record list", ReplaceAll(WorkedExample, "RawSDPRecords.Strings = (", "RawSDPRecords = nil (")},
        {"location after a nil location list", Root("  LocationList = nil\r\n  Location = 'Lab'\r\n")},
        {"location list after it was set to nil",
         Root("  LocationList = nil\r\n  LocationList.Strings = ('a')\r\n")},
        {"log after it was set to nil", Root("  Log = nil\r\n  Log.Strings = ('a')\r\n")},
        {"list set to something other than nil", Root("  Log = True\r\n")},
        {"boolean as a number", Root("  HideInactive = 1\r\n")},
        {"boolean as another identifier", Root("  HideInactive = Yes\r\n")},
        {"string for an integer", ReplaceAll(WorkedExample, "SeenCount = 3", "SeenCount = '3'")},
        {"integer for a string", Root("  FoundSound = 3\r\n")},
        {"integer in a string list", Root("  Log.Strings = (\r\n    'a'\r\n    3)\r\n")},
        {"nested list", Root("  Log.Strings = (('a'))\r\n")},
        {"dangling plus", Root("  FoundSound = 'a' +\r\n")},
        {"plus before a number", Root("  FoundSound = 'a' + 1\r\n")},
        {"string broken by a line end", Root("  FoundSound = 'a\r\nb'\r\n")},
        {"escape above 65535", Root("  FoundSound = #65536\r\n")},
        {"binary value", Root("  FoundSound = {00}\r\n")},
        {"set value", Root("  FoundSound = []\r\n")},
        {"nested object", Root("  object Inner: TSessionState\r\n  end\r\n")},
        {"missing equals sign", Root("  FoundSound 'a'\r\n")},
        {"something other than an item in the collection", Root("  DeviceList = <\r\n    Name = 'a'>\r\n")},
        {"item without end", Root("  DeviceList = <\r\n    item\r\n      Name = 'a'>\r\n")},
        {"NUL inside a string", Root(std::string("  FoundSound = 'a\0b'\r\n", 22))},
        {"line longer than 4094 bytes", Root("  FoundSound = 'a'" + longLine + "\r\n")},
        {"last line longer than 4094 bytes", "object TSessionState\r\nend" + longLine},
        {"4094 characters and a carriage return before the line feed",
         Root("  FoundSound = 'a'" + std::string(4094 - 18, ' ') + "\r\n")},
    };
    for (const TFreedom& bad : rejected)
        EXPECT_EQ(ComponentFromText(bad.Text), nullptr) << bad.Name;
    // The limit counts every byte before the line feed, a carriage return included.
    const TFreedom longest[] = {
        {"4093 characters and a carriage return",
         Root("  FoundSound = 'a'" + std::string(4093 - 18, ' ') + "\r\n")},
        {"4094 characters without a carriage return",
         Root("  FoundSound = 'a'" + std::string(4094 - 18, ' ') + "\n")},
    };
    for (const TFreedom& good : longest)
        EXPECT_NE(ComponentFromText(good.Text), nullptr) << good.Name;
}

TEST(SessionReader, AppliesPropertiesInFileOrder) {
    const TFixedClock clock(1234567890);
    // A location read before the list is added to it, and the list line then replaces the list.
    auto state =
        ComponentFromText(Root("  Location = 'Lab'\r\n  LocationList.Strings = (\r\n    'Office')\r\n"));
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Location(), "Lab");
    EXPECT_EQ(state->LocationList, std::vector<std::string>{"Office"});

    state = ComponentFromText(Root("  LocationList.Strings = (\r\n    'office'\r\n    'Zoo')\r\n  Location = "
                                   "'Lab'\r\n  Location = 'OFFICE'\r\n"));
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Location(), "OFFICE");
    EXPECT_EQ(state->LocationList, (std::vector<std::string>{"Lab", "office", "Zoo"}));

    // Classes recompute the type through the setters; a class equal to the current one does not.
    state = ComponentFromText(Root(
        "  DeviceList = <\r\n"
        "    item\r\n      Type = dtPrinter\r\n      MajorClass = 2\r\n    end\r\n"
        "    item\r\n      MajorClass = 6\r\n      MinorClass = 32\r\n      Type = dtModem\r\n    end\r\n"
        "    item\r\n      Type = dtSerial\r\n      MajorClass = 0\r\n    end\r\n"
        "    item\r\n      MajorClass = 6\r\n      MinorClass = 16\r\n      MajorClass = 4\r\n    end>\r\n"));
    ASSERT_NE(state, nullptr);
    const TDeviceListLock guard(state->DeviceList());
    const TDeviceList& list = state->DeviceList();
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetDevice(0).Type, dtPhone);
    EXPECT_EQ(list.GetDevice(1).Type, dtModem);
    EXPECT_EQ(list.GetDevice(2).Type, dtSerial);
    EXPECT_EQ(list.GetDevice(3).Type, dtAudio);
    EXPECT_EQ(list.GetDevice(3).MinorClass(), 0);
    // Absent properties keep the construction values: the name and the clock at load time.
    EXPECT_EQ(list.GetDevice(0).Name, "Unknown");
    EXPECT_EQ(list.GetDevice(0).FirstSeen, 1234567890);
}

TEST(SessionReader, ReplacesOrKeepsListsAsTheFileSays) {
    // A collection with items replaces the records; an empty one leaves them.
    auto state =
        ComponentFromText(Root("  DeviceList = <\r\n    item\r\n      Address = 'a'\r\n    end>\r\n"
                               "  DeviceList = <\r\n    item\r\n      Address = 'b'\r\n    end\r\n"
                               "    item\r\n      Address = 'b'\r\n      Name = 'second b'\r\n    end>\r\n"
                               "  DeviceList = <>\r\n"));
    ASSERT_NE(state, nullptr);
    {
        const TDeviceListLock guard(state->DeviceList());
        ASSERT_EQ(state->DeviceList().Count(), 2);
        EXPECT_EQ(state->DeviceList().FindDevice("a"), nullptr);
        EXPECT_EQ(state->DeviceList().FindDevice("b"), &state->DeviceList().GetDevice(0));
    }
    // Lists set to nil load empty; an empty sound path is kept for this run only.
    state = ComponentFromText(Root(
        "  LocationList.Strings = ('a')\r\n  LocationList = nil\r\n  Log.Strings = ('x')\r\n  Log = nil\r\n"
        "  FoundSound = ''\r\n  HideInactive = True\r\n  HideInactive = false\r\n"));
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(state->LocationList.empty());
    EXPECT_TRUE(state->Log.empty());
    EXPECT_EQ(state->FoundSound, "");
    EXPECT_FALSE(state->HideInactive);
    const auto next = ComponentFromText(ComponentToText(*state));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->FoundSound, DefaultFoundSound);
}

std::string LockedText(TSessionState& state) {
    const TDeviceListLock guard(state.DeviceList());
    return ComponentToText(state);
}

// A session of several megabytes is read in pieces: every piece boundary must fall somewhere harmless,
// whether the pieces come from the file or in odd sizes from any other source.
TEST(SessionReader, LargeSessionReadsBackTheSameWhateverThePieces) {
    TSessionState state;
    std::string allBytes;
    for (int byte = 0; byte < 256; ++byte)
        allBytes += static_cast<char>(byte);
    {
        const TDeviceListLock guard(state.DeviceList());
        for (int i = 0; i < 3000; ++i) {
            TBTDevice& device = state.DeviceList().AddDevice("(00:0A:3A:00:" + std::to_string(i) + ")");
            device.Name = "Device " + std::to_string(i) + allBytes.substr(static_cast<std::size_t>(i % 256));
            device.LastSeen = 1133946400 + i;
            device.SeenCount = i;
            device.RawSDPRecords = {allBytes, std::string(static_cast<std::size_t>(300 + i % 700), 'x')};
            device.Location = "Room " + std::to_string(i % 17);
        }
    }
    for (int i = 0; i < 2000; ++i)
        state.Log.push_back("Line " + std::to_string(i) + "\r\n" + allBytes);
    const std::string text = LockedText(state);
    ASSERT_GT(text.size(), 4u * 1024 * 1024);

    test::TTempDir directory;
    const std::string path = directory.File("large.dat");
    test::WriteAll(path, text);
    const auto fromFile = LoadComponentFromFile(path);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_TRUE(LockedText(*fromFile) == text);

    std::size_t offset = 0;
    std::size_t step = 1;
    const auto fromPieces =
        ComponentFromSource([&](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            step = step * 7 % 5003 + 1;
            const std::size_t count = std::min({size, step, text.size() - offset});
            text.copy(buffer, count, offset);
            offset += count;
            return count;
        });
    ASSERT_NE(fromPieces, nullptr);
    EXPECT_TRUE(LockedText(*fromPieces) == text);
}

} // namespace
} // namespace orvelle
