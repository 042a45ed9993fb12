// Names of UUIDs: the table's keys and the gaps between them, naming by the first field only, and
// the registry text of the others.
#include "bluetooth/sdp/Uuid.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(UuidName, TableKeysAndGaps) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x0001, "SDP"},
        {0x0006, "TCS-AT"},
        {0x000A, "FTP"},
        {0x001D, "UDI_C-Plane"},
        {0x0100, "L2CAP"},
        {0x1000, "ServiceDiscoveryServerServiceClassID"},
        {0x1002, "PublicBrowseGroup"},
        {0x1101, "SerialPort"},
        {0x110C, "A/V_RemoteControlTarget"},
        {0x112C, "Audio/Video"},
        {0x112E, "Phonebook Access - PCE"},
        {0x112F, "Phonebook Access - PSE"},
        {0x1200, "PnPInformation"},
        {0x1206, "UPNPIPService"},
        {0x1300, "ESDP_UPNP_IP_PAN"},
        {0x1305, "VideoDistribution"},
    };
    for (const auto& [key, name] : cases)
        EXPECT_EQ(UUIDToName(ShortUUIDToGUID(key)), name) << std::hex << key;

    const std::uint32_t unnamed[] = {0x0000, 0x0007, 0x000B, 0x000D, 0x0013, 0x0015, 0x0018, 0x001A, 0x001C,
                                     0x001E, 0x00FF, 0x0101, 0x1003, 0x1100, 0x1130, 0x1207, 0x1306, 0x11101};
    for (std::uint32_t key : unnamed)
        EXPECT_EQ(UUIDToName(ShortUUIDToGUID(key)), GuidToText(ShortUUIDToGUID(key))) << std::hex << key;
}

TEST(UuidName, OnlyTheFirstFieldIsCompared) {
    const TGuid foreign{0x0003, 0xFFFF, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(UUIDToName(foreign), "RFCOMM");
    const TGuid foreignUnnamed{0x0007, 0xFFFF, 0x0000, {0, 1, 2, 3, 4, 5, 6, 7}};
    EXPECT_EQ(UUIDToName(foreignUnnamed), "{00000007-FFFF-0000-0001-020304050607}");
}

TEST(UuidText, RegistryForm) {
    EXPECT_EQ(GuidToText(ShortUUIDToGUID(0x1234)), "{00001234-0000-1000-8000-00805F9B34FB}");
    EXPECT_EQ(GuidToText(ShortUUIDToGUID(0)), "{00000000-0000-1000-8000-00805F9B34FB}");
    const TGuid all{0xFFFFFFFF, 0xABCD, 0xEF01, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
    EXPECT_EQ(GuidToText(all), "{FFFFFFFF-ABCD-EF01-FEDC-BA9876543210}");
    EXPECT_EQ(GuidToText(all).size(), 38u);
}

TEST(ShortUuid, WidensIntoTheBaseUuid) {
    const TGuid widened = ShortUUIDToGUID(0x0001FFFF);
    EXPECT_EQ(widened.Data1, 0x0001FFFFu);
    EXPECT_EQ(widened.Data2, 0x0000);
    EXPECT_EQ(widened.Data3, 0x1000);
    EXPECT_EQ(widened.Data4, (std::array<std::uint8_t, 8>{0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}));
}

} // namespace
} // namespace orvelle
