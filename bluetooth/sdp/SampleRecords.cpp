// Service records as common devices advertise them.
#include "bluetooth/sdp/SampleRecords.h"

#include "bluetooth/sdp/SdpBuilder.h"

namespace orvelle {

namespace {

using D = TSdpData;

// Parts that most records share: L2CAP alone or with a PSM, RFCOMM on a channel, the public browse
// group, and English in UTF-8 at the primary language base 0x0100.
D L2cap() {
    return D::Sequence({D::Uuid16(0x0100)});
}

D L2capPsm(std::uint16_t psm) {
    return D::Sequence({D::Uuid16(0x0100), D::UInt16(psm)});
}

D Rfcomm(std::uint8_t channel) {
    return D::Sequence({D::Uuid16(0x0003), D::UInt8(channel)});
}

D PublicBrowseGroup() {
    return D::Sequence({D::Uuid16(0x1002)});
}

D EnglishUtf8() {
    return D::Sequence({D::UInt16(0x656E), D::UInt16(106), D::UInt16(0x0100)});
}

D Profile(std::uint16_t uuid, std::uint16_t version) {
    return D::Sequence({D::Sequence({D::Uuid16(uuid), D::UInt16(version)})});
}

std::string ObjectPush() {
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010000)},
        {0x0001, D::Sequence({D::Uuid16(0x1105)})},
        {0x0004, D::Sequence({L2cap(), Rfcomm(2), D::Sequence({D::Uuid16(0x0008)})})},
        {0x0005, PublicBrowseGroup()},
        {0x0009, Profile(0x1105, 0x0100)},
        {0x0100, D::Text("OBEX Object Push")},
        {0x0303, D::Sequence({D::UInt8(1), D::UInt8(255)})},
    }
        .Bytes();
}

std::string Headset() {
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010001)},
        {0x0001, D::Sequence({D::Uuid16(0x1108), D::Uuid16(0x1203)})},
        {0x0004, D::Sequence({L2cap(), Rfcomm(1)})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, EnglishUtf8()},
        {0x0009, Profile(0x1108, 0x0100)},
        {0x0100, D::Text("Headset")},
        {0x0101, D::Text("Wireless stereo headset")},
        {0x0102, D::Text("Acoustic Works")},
        {0x0302, D::Bool(true)},
    }
        .Bytes();
}

// The service name comes as UTF-16, as some phones send their texts.
std::string PhoneGateway() {
    using namespace std::string_view_literals;
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010003)},
        {0x0001, D::Sequence({D::Uuid16(0x111F), D::Uuid16(0x1203)})},
        {0x0004, D::Sequence({L2cap(), Rfcomm(3)})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, EnglishUtf8()},
        {0x0009, Profile(0x111E, 0x0105)},
        {0x0100, D::Text("V\0o\0i\0c\0e\0 \0G\0a\0t\0e\0w\0a\0y\0"sv)},
        {0x0301, D::UInt8(1)},
        {0x0311, D::UInt16(0x0009)},
    }
        .Bytes();
}

std::string Printer() {
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010004)},
        {0x0001, D::Sequence({D::Uuid16(0x1122)})},
        {0x0004, D::Sequence({L2cap(), Rfcomm(4), D::Sequence({D::Uuid16(0x0008)})})},
        {0x0005, PublicBrowseGroup()},
        {0x0009, Profile(0x1122, 0x0100)},
        {0x000A, D::Url("http://printer.example/manual.html")},
        {0x0100, D::Text("Basic Printing")},
        {0x0350, D::Text("application/vnd.pwg-xhtml-print+xml:1.0,text/plain")},
        {0x0352, D::UInt128(0, 0x6000000000000000)},
        {0x0356, D::Bool(true)},
        {0x0358, D::Bool(false)},
        {0x035A, D::UInt16(210)},
    }
        .Bytes();
}

// A boot keyboard's report descriptor, cut to its first items: binary bytes, NUL bytes included.
constexpr char KeyboardReport[] = "\x05\x01\x09\x06\xa1\x01\x85\x01\x05\x07\x19\xe0\x29\xe7\x15\x00\x25\x01"
                                  "\x75\x01\x95\x08\x81\x02\x95\x01\x75\x08\x81\x01\xc0";

std::string Keyboard() {
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010005)},
        {0x0001, D::Sequence({D::Uuid16(0x1124)})},
        {0x0004, D::Sequence({L2capPsm(0x0011), D::Sequence({D::Uuid16(0x0011)})})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, EnglishUtf8()},
        {0x0009, Profile(0x1124, 0x0100)},
        {0x000D, D::Sequence({D::Sequence({L2capPsm(0x0013), D::Sequence({D::Uuid16(0x0011)})})})},
        {0x0100, D::Text("Bluetooth Keyboard")},
        {0x0201, D::UInt16(0x0111)},
        {0x0202, D::UInt8(0x40)},
        {0x0203, D::UInt8(0x21)},
        {0x0204, D::Bool(true)},
        {0x0205, D::Bool(true)},
        {0x0206,
         D::Sequence({D::Sequence(
             {D::UInt8(0x22), D::Text(std::string_view(KeyboardReport, sizeof KeyboardReport - 1))})})},
        {0x0207, D::Sequence({D::Sequence({D::UInt16(0x0409), D::UInt16(0x0100)})})},
        {0x020E, D::Bool(true)},
    }
        .Bytes();
}

std::string NetworkAccessPoint() {
    const TGuid serviceId{0x6A1C34F2, 0x0B4D, 0x4E0F, {0x9C, 0x2E, 0x51, 0x7A, 0x00, 0x3D, 0x88, 0x10}};
    return TSdpRecord{
        {0x0000, D::UInt32(0x00010006)},
        {0x0001, D::Sequence({D::Uuid16(0x1116)})},
        {0x0003, D::Uuid128(serviceId)},
        {0x0004,
         D::Sequence({L2capPsm(0x000F), D::Sequence({D::Uuid16(0x000F), D::UInt16(0x0100),
                                                     D::Sequence({D::UInt16(0x0800), D::UInt16(0x0806)})})})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, EnglishUtf8()},
        {0x0009, Profile(0x1116, 0x0100)},
        {0x0100, D::Text("Network Access Point")},
        {0x0101, D::Text("Network access point service")},
        {0x030A, D::UInt16(0x0001)},
        {0x030B, D::UInt16(0x0005)},
        {0x030C, D::UInt32(10000000)},
    }
        .Bytes();
}

} // namespace

std::vector<TSampleRecord> SampleRecords() {
    return {
        {"object-push", ObjectPush()}, {"headset", Headset()},   {"phone", PhoneGateway()},
        {"printer", Printer()},        {"keyboard", Keyboard()}, {"pan", NetworkAccessPoint()},
    };
}

} // namespace orvelle
