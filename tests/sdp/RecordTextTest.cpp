// Whole records rendered as text: the object push example, the sample records of common devices,
// and records that are cut short, lie about lengths or nest too deep.
#include "TestSupport.h"

#include "bluetooth/sdp/Errors.h"
#include "bluetooth/sdp/LastError.h"
#include "bluetooth/sdp/SampleRecords.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "bluetooth/sdp/SdpText.h"

#include <gtest/gtest.h>

#include <map>

namespace orvelle {
namespace {

using D = TSdpData;

std::string ObjectPushRecord() {
    return TSdpRecord{
        {0x0000, D::UInt32(65536)},
        {0x0001, D::Sequence({D::Uuid16(0x1105)})},
        {0x0004, D::Sequence({D::Sequence({D::Uuid16(0x0100)}), D::Sequence({D::Uuid16(0x0003), D::UInt8(2)}),
                              D::Sequence({D::Uuid16(0x0008)})})},
        {0x0005, D::Sequence({D::Uuid16(0x1002)})},
        {0x0009, D::Sequence({D::Sequence({D::Uuid16(0x1105), D::UInt16(256)})})},
        {0x0100, D::Text("OBEX Object Push")},
        {0x0303, D::Sequence({D::UInt8(1), D::UInt8(255)})},
    }
        .Bytes();
}

const char ObjectPushText[] = "ServiceRecordHandle = 65536\n"
                              "ServiceClassIDList = [OBEXObjectPush]\n"
                              "ProtocolDescriptorList = [[L2CAP], [RFCOMM, 2], [OBEX]]\n"
                              "BrowseGroupList = [PublicBrowseGroup]\n"
                              "BluetoothProfileDescriptorList = [[OBEXObjectPush, 256]]\n"
                              "Unknown (256) = OBEX Object Push\n"
                              "Unknown (771) = [1, 255]\n";

TEST(RecordText, ObjectPushRecordGivesOneLinePerAttribute) {
    EXPECT_EQ(SDPRecordToText(ObjectPushRecord()), ObjectPushText);
}

TEST(RecordText, ObjectPushRecordFromItsWireBytes) {
    const std::string wire = Bytes("35 59 09 00 00 0A 00 01 00 00 09 00 01 35 03 19 11 05"
                                   " 09 00 04 35 11 35 03 19 01 00 35 05 19 00 03 08 02 35 03 19 00 08"
                                   " 09 00 05 35 03 19 10 02 09 00 09 35 08 35 06 19 11 05 09 01 00"
                                   " 09 01 00 25 10 4F 42 45 58 20 4F 62 6A 65 63 74 20 50 75 73 68"
                                   " 09 03 03 35 04 08 01 08 FF");
    EXPECT_EQ(wire, ObjectPushRecord());
    EXPECT_EQ(SDPRecordToText(wire), ObjectPushText);
}

TEST(RecordText, AttributeTextOfObjectPushRecord) {
    const std::string record = ObjectPushRecord();
    EXPECT_EQ(SDPAttributeText(0x0100, record), "OBEX Object Push");
    EXPECT_EQ(SDPAttributeText(0x0002, record), "");
    EXPECT_EQ(SDPAttributeText(0x0004, record), "[[L2CAP], [RFCOMM, 2], [OBEX]]");
    // Only the low 16 bits of the id are looked for.
    EXPECT_EQ(SDPAttributeText(0x10100, record), "OBEX Object Push");
}

TEST(RecordText, EmptyAttributeListGivesEmptyText) {
    EXPECT_EQ(SDPRecordToText(Bytes("35 00")), "");
    EXPECT_EQ(SDPRecordToText(Bytes("36 00 00")), "");
}

TEST(RecordText, AttributesKeepRecordOrderAndRepeats) {
    const std::string record = TSdpRecord{
        {0x0200, D::UInt8(1)},
        {0x0001, D::Nil()},
        {0x0200, D::UInt8(2)},
        {0xFFFF, D::Bool(false)}}.Bytes();
    EXPECT_EQ(SDPRecordToText(record), "Unknown (512) = 1\nServiceClassIDList = nil\nUnknown (512) = 2\n"
                                       "Unknown (65535) = false\n");
    EXPECT_EQ(SDPAttributeText(0x0200, record), "1");
}

// The sample records' texts, the services they name and their sizes (the benchmark relies on the
// headset being a typical record: about 150 bytes, 10 attributes).
TEST(RecordText, SampleRecords) {
    const std::map<std::string, std::string> serviceNames{
        {"object-push", "OBEX Object Push"}, {"headset", "Headset"},
        {"phone", "Voice Gateway"},          {"printer", "Basic Printing"},
        {"keyboard", "Bluetooth Keyboard"},  {"pan", "Network Access Point"},
    };
    const auto samples = SampleRecords();
    ASSERT_EQ(samples.size(), serviceNames.size());
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.Name);
        EXPECT_EQ(SDPAttributeText(0x0100, sample.Bytes), serviceNames.at(sample.Name));
        const std::string text = SDPRecordToText(sample.Bytes);
        EXPECT_EQ(text.substr(0, 22), "ServiceRecordHandle = ");
        EXPECT_EQ(text.back(), '\n');
    }
    EXPECT_EQ(SDPRecordToText(samples[0].Bytes), ObjectPushText);
    EXPECT_EQ(SDPRecordToText(samples[1].Bytes), "ServiceRecordHandle = 65537\n"
                                                 "ServiceClassIDList = [Headset, GenericAudio]\n"
                                                 "ProtocolDescriptorList = [[L2CAP], [RFCOMM, 1]]\n"
                                                 "BrowseGroupList = [PublicBrowseGroup]\n"
                                                 "LanguageBaseAttributeIDList = [25966, 106, 256]\n"
                                                 "BluetoothProfileDescriptorList = [[Headset, 256]]\n"
                                                 "Unknown (256) = Headset\n"
                                                 "Unknown (257) = Wireless stereo headset\n"
                                                 "Unknown (258) = Acoustic Works\n"
                                                 "Unknown (770) = true\n");
    EXPECT_EQ(samples[1].Bytes.size(), 137u);
    EXPECT_EQ(SDPRecordToText(samples[5].Bytes),
              "ServiceRecordHandle = 65542\n"
              "ServiceClassIDList = [NAP]\n"
              "ServiceID = {6A1C34F2-0B4D-4E0F-9C2E-517A003D8810}\n"
              "ProtocolDescriptorList = [[L2CAP, 15], [BNEP, 256, [2048, 2054]]]\n"
              "BrowseGroupList = [PublicBrowseGroup]\n"
              "LanguageBaseAttributeIDList = [25966, 106, 256]\n"
              "BluetoothProfileDescriptorList = [[NAP, 256]]\n"
              "Unknown (256) = Network Access Point\n"
              "Unknown (257) = Network access point service\n"
              "Unknown (778) = 1\n"
              "Unknown (779) = 5\n"
              "Unknown (780) = 10000000\n");
}

TEST(AttributeName, UniversalAttributesAndOthers) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "ServiceRecordHandle"},
        {4, "ProtocolDescriptorList"},
        {6, "LanguageBaseAttributeIDList"},
        {9, "BluetoothProfileDescriptorList"},
        {13, "AdditionalProtocolDescriptorLists"},
        {14, "Unknown (14)"},
        {0x0200, "Unknown (512)"},
        {0xFFFFFFFF, "Unknown (4294967295)"},
    };
    for (const auto& [id, name] : cases)
        EXPECT_EQ(SDPAttributeName(id), name) << id;
}

// Records that cannot be read: the whole record fails with the enumeration message, no text, and
// a single attribute of them reads as empty.
struct TBadRecord {
    const char* Title;
    std::string Record;
};

std::string Nested(int levels) {
    std::string value = Bytes("35 00");
    for (int i = 1; i < levels; ++i)
        value = D::Sequence({D::Raw(value)}).Encoding();
    return value;
}

std::string RecordWithValue(const std::string& value) {
    return TSdpRecord{{0x0100, D::Text("Name")}, {0x0300, D::Raw(value)}}.Bytes();
}

class BadRecordTest : public testing::TestWithParam<TBadRecord> {};

TEST_P(BadRecordTest, RaisesEnumerationErrorWithoutText) {
    SetLastError(leSuccess);
    try {
        const std::string text = SDPRecordToText(GetParam().Record);
        ADD_FAILURE() << "rendered as " << testing::PrintToString(text);
    } catch (const EOrvelleError& error) {
        EXPECT_STREQ(error.what(), "Unable to enumerate SDP attributes.\n\nError: The data is invalid.\r\n");
    }
    EXPECT_EQ(GetLastError(), leInvalidData);
    EXPECT_EQ(SDPAttributeText(0x0100, GetParam().Record), "");
}

const std::string Good = ObjectPushRecord();

INSTANTIATE_TEST_SUITE_P(
    Malformed, BadRecordTest,
    testing::Values(TBadRecord{"empty", ""}, TBadRecord{"cut in header", Bytes("35")},
                    TBadRecord{"cut in 16-bit length", Bytes("36 00")},
                    TBadRecord{"cut short", Good.substr(0, Good.size() - 1)},
                    TBadRecord{"cut in attribute id", Bytes("35 02 09 01")},
                    TBadRecord{"id without value", Bytes("35 03 09 01 00")},
                    TBadRecord{"trailing byte", Good + '\0'}, TBadRecord{"not a sequence", Bytes("3D 00")},
                    TBadRecord{"text as record", Bytes("25 02 41 42")},
                    TBadRecord{"id of 8 bits", Bytes("35 04 08 01 08 01")},
                    TBadRecord{"id of 32 bits", Bytes("35 07 0A 00 00 01 00 08 01")},
                    TBadRecord{"length past end", Bytes("35 05 09 01 00 25 09 41")},
                    TBadRecord{"32-bit length of 4 GiB", RecordWithValue(Bytes("27 FF FF FF FF 41"))},
                    TBadRecord{"reserved type", RecordWithValue(Bytes("48"))},
                    TBadRecord{"nil with size", RecordWithValue(Bytes("01 00 00"))},
                    TBadRecord{"integer with length field", RecordWithValue(Bytes("0D 01 00"))},
                    TBadRecord{"UUID of 8 bits", RecordWithValue(Bytes("18 01"))},
                    TBadRecord{"UUID of 64 bits", RecordWithValue(Bytes("1B 00 00 00 00 00 00 00 01"))},
                    TBadRecord{"text with fixed size", RecordWithValue(Bytes("22 41 42 43 44"))},
                    TBadRecord{"boolean of 2 bytes", RecordWithValue(Bytes("29 00 01"))},
                    TBadRecord{"bad element deep inside", RecordWithValue(Bytes("35 05 35 03 08 01 4F"))},
                    TBadRecord{"inner length past its sequence",
                               RecordWithValue(Bytes("35 04 35 04 08 01 08 01"))},
                    TBadRecord{"nesting of 33", RecordWithValue(Nested(33))},
                    TBadRecord{"nesting of 10000", RecordWithValue(Nested(10000))}),
    CaseName<TBadRecord>);

TEST(RecordText, NestingOf32IsRead) {
    const std::string record = RecordWithValue(Nested(32));
    const std::string value = std::string(31, '[') + "[]" + std::string(31, ']');
    EXPECT_EQ(SDPRecordToText(record), "Unknown (256) = Name\nUnknown (768) = " + value + "\n");
    EXPECT_EQ(SDPAttributeText(0x0300, record), value);
}

} // namespace
} // namespace orvelle
