// Whole records rendered as text: the object push example, typical records and bad records.
#include "bluetooth/sdp/Errors.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "bluetooth/sdp/SdpText.h"

#include <gtest/gtest.h>

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

TEST(RecordText, ObjectPushRecordGivesOneLinePerAttribute) {
    EXPECT_EQ(SDPRecordToText(ObjectPushRecord()),
              "ServiceRecordHandle = 65536\n"
              "ServiceClassIDList = [OBEXObjectPush]\n"
              "ProtocolDescriptorList = [[L2CAP], [RFCOMM, 2], [OBEX]]\n"
              "BrowseGroupList = [PublicBrowseGroup]\n"
              "BluetoothProfileDescriptorList = [[OBEXObjectPush, 256]]\n"
              "Unknown (256) = OBEX Object Push\n"
              "Unknown (771) = [1, 255]\n");
}

TEST(RecordText, AttributeTextOfObjectPushRecord) {
    EXPECT_EQ(SDPAttributeText(0x0100, ObjectPushRecord()), "OBEX Object Push");
    EXPECT_EQ(SDPAttributeText(0x0002, ObjectPushRecord()), "");
}

} // namespace
} // namespace orvelle
