// The device record: construction values, class setters, the device type rule, the active test and
// the texts derived from a device's numbers.
#include "InventoryTestSupport.h"

#include "inventory/BTDevice.h"
#include "inventory/Descriptions.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using test::TFixedClock;
using test::WorkedExampleRecord;

TEST(DeviceRecord, StartsWithItsConstructionValues) {
    const TFixedClock clock(1133946400);
    const TBTDevice device;
    EXPECT_EQ(device.Name, "Unknown");
    EXPECT_EQ(device.Address, "");
    EXPECT_EQ(device.Type, dtOther);
    EXPECT_EQ(device.MajorClass(), 0);
    EXPECT_EQ(device.MinorClass(), 0);
    EXPECT_EQ(device.FirstSeen, 1133946400);
    EXPECT_EQ(device.LastSeen, 0);
    EXPECT_EQ(device.SeenCount, 0);
    EXPECT_EQ(device.Flags, 0);
    EXPECT_TRUE(device.RawSDPStream.empty());
    EXPECT_TRUE(device.RawSDPRecords.empty());
    EXPECT_EQ(device.Location, "");
    EXPECT_FALSE(device.IsActive());
}

TEST(DeviceRecord, MajorClassResetsMinorClassOnlyWhenItChanges) {
    TBTDevice device;
    device.SetMajorClass(1);
    device.SetMinorClass(3);
    ASSERT_EQ(device.Type, dtLaptop);
    device.SetMajorClass(1);
    EXPECT_EQ(device.MinorClass(), 3);
    EXPECT_EQ(device.Type, dtLaptop);
    device.SetMajorClass(2);
    EXPECT_EQ(device.MajorClass(), 2);
    EXPECT_EQ(device.MinorClass(), 0);
    EXPECT_EQ(device.Type, dtPhone);
    device.SetMinorClass(3);
    EXPECT_EQ(device.MinorClass(), 3);
    EXPECT_EQ(device.Type, dtPhone);
}

// An unchanged class leaves a type set by other means (a loaded file's Type line) alone.
TEST(DeviceRecord, UnchangedClassKeepsTheType) {
    TBTDevice device;
    device.Type = dtPrinter;
    device.SetMajorClass(0);
    device.SetMinorClass(0);
    EXPECT_EQ(device.Type, dtPrinter);
}

struct TTypeCase {
    std::int32_t Major, Minor;
    TDeviceType Type;
};

TEST(DeviceTypeOf, FollowsTheClassTable) {
    const TTypeCase cases[] = {
        {1, 0, dtWorkstation}, {1, 3, dtLaptop},      {1, 4, dtPDA},      {1, 5, dtPDA},
        {1, 6, dtPDA},         {1, 7, dtWorkstation}, {2, 0, dtPhone},    {2, 63, dtPhone},
        {3, 9, dtLANAccess},   {4, 12, dtCamera},     {4, 13, dtCamera},  {4, 14, dtMonitor},
        {4, 16, dtMonitor},    {4, 15, dtAudio},      {4, 17, dtAudio},   {5, 63, dtPeripheral},
        {6, 4, dtMonitor},     {6, 8, dtCamera},      {6, 16, dtScanner}, {6, 32, dtPrinter},
        {6, 0, dtCamera},      {6, 12, dtCamera},     {6, 48, dtCamera},  {0, 1, dtOther},
        {7, 0, dtOther},       {31, 0, dtOther},      {32, 1, dtOther},   {-1, 0, dtOther},
    };
    for (const TTypeCase& c : cases)
        EXPECT_EQ(DeviceTypeOf(c.Major, c.Minor), c.Type) << "classes " << c.Major << ", " << c.Minor;
}

TEST(DeviceTypeName, NamesRoundTripIgnoringCase) {
    for (int value = dtOther; value <= dtSerial; ++value) {
        const auto type = static_cast<TDeviceType>(value);
        std::string lower = DeviceTypeName(type);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(DeviceTypeByName(DeviceTypeName(type)), type);
        EXPECT_EQ(DeviceTypeByName(lower), type) << lower;
    }
    EXPECT_EQ(std::string(DeviceTypeName(dtPhone)), "dtPhone");
    EXPECT_EQ(DeviceTypeByName("dtToaster"), std::nullopt);
    EXPECT_EQ(DeviceTypeByName("dtPhon"), std::nullopt);
}

TEST(DeviceRecord, IsActiveForThreeHundredSecondsAfterLastSeen) {
    TFixedClock clock(1'000'000);
    TBTDevice device;
    device.LastSeen = 1'000'000 - 300;
    EXPECT_TRUE(device.IsActive());
    clock.Set(1'000'000 + 1);
    EXPECT_FALSE(device.IsActive());
    device.LastSeen = INT32_MAX;
    EXPECT_TRUE(device.IsActive());
}

struct TClassTextCase {
    std::uint32_t Major, Minor;
    const char* Text;
};

TEST(ClassOfDeviceText, GivesTheTableTexts) {
    const TClassTextCase cases[] = {
        {0, 63, "Miscellaneous"},
        {1, 0, "Unclassified Computer"},
        {1, 4, "Handheld Computer"},
        {1, 6, "Wearable Computer"},
        {1, 9, "Unknown Computer"},
        {2, 1, "Cellular Phone"},
        {2, 4, "Wired Modem"},
        {2, 5, "Unknown Phone"},
        {3, 0, "LAN Access Point"},
        {3, 63, "LAN Access Point"},
        {4, 0, "Unclassified Audio"},
        {4, 16, "Video Display Conferencing"},
        {4, 17, "Unknown Audio"},
        {4, 18, "Gaming Toy"},
        {4, 19, "Unknown Audio"},
        {5, 0, "Peripheral"},
        {5, 16, "Keyboard"},
        {5, 32, "Pointer"},
        {5, 48, "Unknown Peripheral"},
        {6, 0, "Unknown Imager"},
        {6, 32, "Printer"},
        {6, 48, "Unknown Imager"},
        {31, 5, "Unclassified"},
        {9, 0, "Unknown"},
        {32, 0, "Unknown"},
        {0xFFFFFFFF, 1, "Unknown"},
    };
    for (const TClassTextCase& c : cases)
        EXPECT_EQ(ClassOfDeviceText(c.Major, c.Minor), c.Text) << "classes " << c.Major << ", " << c.Minor;
}

TEST(ManufacturerName, NamesKnownIdentifiersOnly) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "Ericsson Technology Licensing"},
        {15, "Broadcom Corporation"},
        {52, "Computer Access Technology Corporation (CATC)"},
        {62, "Systems and Chips, Inc"},
        {63, "Unknown"},
        {65535, "** Temporary Manufacturer Code"},
        {65534, "Unknown"},
        {-1, "Unknown"},
    };
    for (const auto& [identifier, name] : cases)
        EXPECT_EQ(ManufacturerName(identifier), name) << identifier;
}

TEST(FlagsText, JoinsThePresentWordsInOrder) {
    struct TCase {
        std::int32_t Flags;
        bool Records, Stream;
        const char* Text;
    };
    const TCase cases[] = {
        {0x38, true, false, "Paired, Personal, Connected, SDP"},
        {0x10, false, false, "Personal"},
        {0, false, false, ""},
        {0, false, true, "SDP"},
        {0x28, false, false, "Paired, Connected"},
        {0x07 | 0x40, false, false, ""},
    };
    for (const TCase& c : cases) {
        TBTDevice device;
        device.Flags = c.Flags;
        if (c.Records)
            device.RawSDPRecords = {WorkedExampleRecord};
        if (c.Stream)
            device.RawSDPStream = WorkedExampleRecord;
        EXPECT_EQ(FlagsText(device), c.Text) << "flags " << c.Flags;
    }
}

} // namespace
} // namespace orvelle
