// The demo scenario: phones, a headset, a car kit, a laptop, a desktop, a printer, a keyboard and a
// mouse, a network access point, a device that never gives its name and one that advertises nothing.
// The records are built with the SDP encoder as such devices publish them.
#include "bluetooth/DemoScenario.h"

#include "bluetooth/sdp/SdpBuilder.h"

#include <initializer_list>
#include <string_view>

namespace orvelle {

namespace {

using D = TSdpData;

constexpr std::uint16_t L2capUuid = 0x0100;
constexpr std::uint16_t RfcommUuid = 0x0003;
constexpr std::uint16_t ObexUuid = 0x0008;
constexpr std::uint16_t BnepUuid = 0x000F;
constexpr std::uint16_t HidpUuid = 0x0011;

D PublicBrowseGroup() {
    return D::Sequence({D::Uuid16(0x1002)});
}

D Languages() {
    return D::Sequence({D::UInt16(0x656E), D::UInt16(106), D::UInt16(0x0100)});
}

D Profile(std::uint16_t uuid, std::uint16_t version) {
    return D::Sequence({D::Sequence({D::Uuid16(uuid), D::UInt16(version)})});
}

// The protocol descriptor list of a service on RFCOMM CHANNEL, with OBEX above it when OBEX is set.
D Rfcomm(std::uint8_t channel, bool obex) {
    const D l2cap = D::Sequence({D::Uuid16(L2capUuid)});
    const D rfcomm = D::Sequence({D::Uuid16(RfcommUuid), D::UInt8(channel)});
    return obex ? D::Sequence({l2cap, rfcomm, D::Sequence({D::Uuid16(ObexUuid)})})
                : D::Sequence({l2cap, rfcomm});
}

// A service over RFCOMM on CHANNEL (and OBEX above it when OBEX is set).
std::string RfcommService(std::uint32_t handle, std::initializer_list<D> classes, std::uint8_t channel,
                          bool obex, std::uint16_t profile, std::string_view name) {
    return TSdpRecord{{0x0000, D::UInt32(handle)},     {0x0001, D::Sequence(classes)},
                      {0x0004, Rfcomm(channel, obex)}, {0x0005, PublicBrowseGroup()},
                      {0x0006, Languages()},           {0x0009, Profile(profile, 0x0100)},
                      {0x0100, D::Text(name)}}
        .Bytes();
}

std::string ObjectPush(std::uint32_t handle, std::uint8_t channel) {
    return TSdpRecord{{0x0000, D::UInt32(handle)},
                      {0x0001, D::Sequence({D::Uuid16(0x1105)})},
                      {0x0004, Rfcomm(channel, true)},
                      {0x0005, PublicBrowseGroup()},
                      {0x0006, Languages()},
                      {0x0009, Profile(0x1105, 0x0100)},
                      {0x0100, D::Text("OBEX Object Push")},
                      {0x0303, D::Sequence({D::UInt8(0x01), D::UInt8(0x02), D::UInt8(0x03), D::UInt8(0xFF)})}}
        .Bytes();
}

std::string FileTransfer(std::uint32_t handle, std::uint8_t channel) {
    return RfcommService(handle, {D::Uuid16(0x1106)}, channel, true, 0x1106, "OBEX File Transfer");
}

std::string DialUp(std::uint32_t handle, std::uint8_t channel) {
    return RfcommService(handle, {D::Uuid16(0x1103), D::Uuid16(0x1201)}, channel, false, 0x1103,
                         "Dial-up Networking");
}

std::string SerialPort(std::uint32_t handle, std::uint8_t channel, std::string_view name) {
    return RfcommService(handle, {D::Uuid16(0x1101)}, channel, false, 0x1101, name);
}

std::string HeadsetGateway(std::uint32_t handle, std::uint8_t channel) {
    return RfcommService(handle, {D::Uuid16(0x1112), D::Uuid16(0x1203)}, channel, false, 0x1108,
                         "Headset Audio Gateway");
}

std::string HandsFreeGateway(std::uint32_t handle, std::uint8_t channel) {
    return TSdpRecord{
        {0x0000, D::UInt32(handle)},       {0x0001, D::Sequence({D::Uuid16(0x111F), D::Uuid16(0x1203)})},
        {0x0004, Rfcomm(channel, false)},  {0x0005, PublicBrowseGroup()},
        {0x0009, Profile(0x111E, 0x0105)}, {0x0100, D::Text("Voice Gateway")},
        {0x0301, D::UInt8(0x01)},          {0x0311, D::UInt16(0x0009)}}
        .Bytes();
}

std::string PhoneBook(std::uint32_t handle, std::uint8_t channel) {
    return TSdpRecord{{0x0000, D::UInt32(handle)},       {0x0001, D::Sequence({D::Uuid16(0x112F)})},
                      {0x0004, Rfcomm(channel, true)},   {0x0005, PublicBrowseGroup()},
                      {0x0009, Profile(0x1130, 0x0100)}, {0x0100, D::Text("Phonebook Access")},
                      {0x0314, D::UInt8(0x01)}}
        .Bytes();
}

std::string Headset(std::uint32_t handle, std::uint8_t channel) {
    return TSdpRecord{{0x0000, D::UInt32(handle)},
                      {0x0001, D::Sequence({D::Uuid16(0x1108), D::Uuid16(0x1203)})},
                      {0x0004, Rfcomm(channel, false)},
                      {0x0005, PublicBrowseGroup()},
                      {0x0006, Languages()},
                      {0x0009, Profile(0x1108, 0x0100)},
                      {0x0100, D::Text("Headset")},
                      {0x0102, D::Text("Halvard Audio")},
                      {0x0302, D::Bool(true)}}
        .Bytes();
}

std::string HandsFree(std::uint32_t handle, std::uint8_t channel, std::string_view name) {
    return TSdpRecord{
        {0x0000, D::UInt32(handle)},       {0x0001, D::Sequence({D::Uuid16(0x111E), D::Uuid16(0x1203)})},
        {0x0004, Rfcomm(channel, false)},  {0x0005, PublicBrowseGroup()},
        {0x0009, Profile(0x111E, 0x0105)}, {0x0100, D::Text(name)},
        {0x0311, D::UInt16(0x001F)}}
        .Bytes();
}

std::string Printing(std::uint32_t handle, std::uint8_t channel) {
    return TSdpRecord{{0x0000, D::UInt32(handle)},
                      {0x0001, D::Sequence({D::Uuid16(0x1122)})},
                      {0x0004, Rfcomm(channel, true)},
                      {0x0005, PublicBrowseGroup()},
                      {0x0009, Profile(0x1122, 0x0100)},
                      {0x000A, D::Url("http://printer.example/manual.html")},
                      {0x0100, D::Text("Basic Printing")},
                      {0x0350, D::Text("application/vnd.pwg-xhtml-print+xml:1.0,text/plain")},
                      {0x0356, D::Bool(true)},
                      {0x0358, D::Bool(false)}}
        .Bytes();
}

// A human interface device with the report descriptor DESCRIPTOR.
std::string HumanInterface(std::uint32_t handle, std::string_view name, std::uint8_t subclass,
                           std::string_view descriptor) {
    return TSdpRecord{
        {0x0000, D::UInt32(handle)},
        {0x0001, D::Sequence({D::Uuid16(0x1124)})},
        {0x0004, D::Sequence({D::Sequence({D::Uuid16(L2capUuid), D::UInt16(0x0011)}),
                              D::Sequence({D::Uuid16(HidpUuid)})})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, Languages()},
        {0x0009, Profile(0x1124, 0x0100)},
        {0x000D, D::Sequence({D::Sequence({D::Sequence({D::Uuid16(L2capUuid), D::UInt16(0x0013)}),
                                           D::Sequence({D::Uuid16(HidpUuid)})})})},
        {0x0100, D::Text(name)},
        {0x0101, D::Text("Wireless input device")},
        {0x0102, D::Text("Brannvik Devices")},
        {0x0200, D::UInt16(0x0100)},
        {0x0201, D::UInt16(0x0111)},
        {0x0202, D::UInt8(subclass)},
        {0x0203, D::UInt8(0x21)},
        {0x0204, D::Bool(true)},
        {0x0205, D::Bool(true)},
        {0x0206, D::Sequence({D::Sequence({D::UInt8(0x22), D::Text(descriptor)})})},
        {0x0207, D::Sequence({D::Sequence({D::UInt16(0x0409), D::UInt16(0x0100)})})},
        {0x020E, D::Bool(true)}}
        .Bytes();
}

std::string PanService(std::uint32_t handle, std::uint16_t serviceClass, std::string_view name,
                       std::string_view description) {
    return TSdpRecord{
        {0x0000, D::UInt32(handle)},
        {0x0001, D::Sequence({D::Uuid16(serviceClass)})},
        {0x0004, D::Sequence({D::Sequence({D::Uuid16(L2capUuid), D::UInt16(0x000F)}),
                              D::Sequence({D::Uuid16(BnepUuid), D::UInt16(0x0100),
                                           D::Sequence({D::UInt16(0x0800), D::UInt16(0x0806)})})})},
        {0x0005, PublicBrowseGroup()},
        {0x0006, Languages()},
        {0x0009, Profile(serviceClass, 0x0100)},
        {0x0100, D::Text(name)},
        {0x0101, D::Text(description)},
        {0x030A, D::UInt16(0x0001)},
        {0x030B, D::UInt16(0x0005)},
        {0x030C, D::UInt32(10000000)}}
        .Bytes();
}

// Report descriptors of a boot keyboard and a boot mouse, cut to their first collection.
constexpr std::string_view
    KeyboardReport("\x05\x01\x09\x06\xA1\x01\x05\x07\x19\xE0\x29\xE7\x15\x00\x25\x01\x75"
                   "\x01\x95\x08\x81\x02\xC0",
                   23);
constexpr std::string_view MouseReport("\x05\x01\x09\x02\xA1\x01\x09\x01\xA1\x00\x05\x09\x19\x01\x29\x03\x15"
                                       "\x00\x25\x01\x95\x03\x75\x01\x81\x02\xC0\xC0",
                                       28);

// Spans of PERIOD seconds repeated over the demo's horizon: the device is in range from FROM to TO
// seconds into each period.
std::vector<TTimeSpan> Every(std::int64_t period, std::initializer_list<TTimeSpan> spans) {
    std::vector<TTimeSpan> inRange;
    for (std::int64_t start = 0; start < DemoHorizon; start += period)
        for (const TTimeSpan& span : spans)
            inRange.push_back({start + span.From, start + span.To});
    return inRange;
}

std::vector<TTimeSpan> Always() {
    return {{0, DemoHorizon}};
}

} // namespace

TScenario DemoScenario() {
    TScenario scenario;
    // About the time a short inquiry takes, so that passes come at a radio's pace.
    scenario.InquiryMillis = 500;
    scenario.Radios.push_back({"Demo radio", 0x001A7DDA7113, 0x1C0104, 10, 8891, true, true});

    // A phone that leaves for ten minutes every half hour, so that it is queried again on its return.
    scenario.Devices.push_back(
        {0x001E3A7C2109, "Maria's phone", 0x5A020C, Every(1800, {{0, 1200}}),
         std::vector<std::string>{ObjectPush(0x00010000, 9), HandsFreeGateway(0x00010001, 3),
                                  HeadsetGateway(0x00010002, 2), PhoneBook(0x00010003, 19),
                                  DialUp(0x00010004, 1)}});
    scenario.Devices.push_back({0x0017E54B9012, "Jon's mobile", 0x520204, Every(600, {{60, 420}}),
                                std::vector<std::string>{DialUp(0x00010000, 1), ObjectPush(0x00010001, 9),
                                                         HeadsetGateway(0x00010002, 3)}});
    scenario.Devices.push_back(
        {0x000D44A1337E, "H300 Headset", 0x240404, Every(900, {{0, 300}, {420, 720}}),
         std::vector<std::string>{Headset(0x00010000, 1), HandsFree(0x00010001, 2, "Hands-Free unit")}});
    scenario.Devices.push_back({0x001A450F22C8, "Car Kit CK-200", 0x200408, Every(1200, {{300, 420}}),
                                std::vector<std::string>{HandsFree(0x00010000, 1, "Hands-free Car Kit")}});
    scenario.Devices.push_back(
        {0x0021865DE031, "LT-42 Laptop", 0x3A010C, Every(3600, {{0, 2700}}),
         std::vector<std::string>{
             ObjectPush(0x00010000, 12), FileTransfer(0x00010001, 10),
             PanService(0x00010002, 0x1115, "Personal Ad-hoc User Service", "Personal Ad-hoc User Service"),
             SerialPort(0x00010003, 4, "Bluetooth Serial Port")}});
    scenario.Devices.push_back(
        {0x00197D6E02B4, "RECEPTION-PC", 0x1C0104, Every(3600, {{600, 3000}}),
         std::vector<std::string>{ObjectPush(0x00010000, 12), FileTransfer(0x00010001, 10),
                                  SerialPort(0x00010002, 5, "COM5")}});
    scenario.Devices.push_back(
        {0x0080371C6602, "Office Printer", 0x040680, Always(),
         std::vector<std::string>{Printing(0x00010000, 4), SerialPort(0x00010001, 1, "Printer Port")}});
    scenario.Devices.push_back(
        {0x001F20884A10, "Wireless Keyboard", 0x002540, Always(),
         std::vector<std::string>{HumanInterface(0x00010000, "Wireless Keyboard", 0x40, KeyboardReport)}});
    scenario.Devices.push_back(
        {0x001F20884A11, "Wireless Mouse", 0x002580, Every(1800, {{0, 900}}),
         std::vector<std::string>{HumanInterface(0x00010000, "Wireless Mouse", 0x80, MouseReport)}});
    scenario.Devices.push_back(
        {0x0050C27B0015, "AP-1 Access Point", 0x020300, Always(),
         std::vector<std::string>{
             PanService(0x00010000, 0x1116, "Network Access Point", "Network access to the office LAN"),
             PanService(0x00010001, 0x1117, "Group Ad-hoc Network", "Group Ad-hoc Network Service")}});
    // A handheld that never answers the name request, and a wristband that publishes no services.
    scenario.Devices.push_back({0x0023D419AF60, "", 0x100114, Every(600, {{200, 260}}),
                                std::vector<std::string>{ObjectPush(0x00010000, 2)}});
    scenario.Devices.push_back(
        {0x00247E3E5591, "Fitness Band", 0x000704, Every(1200, {{0, 600}}), std::nullopt});

    // A radio glitch once an hour: the pass fails and the scan backs off.
    for (std::int64_t start = 1500; start < DemoHorizon; start += 3600)
        scenario.Faults.push_back({foInquiryBegin, {start, start + 1}, 10050, std::nullopt});
    return scenario;
}

std::string DemoScenarioText() {
    return ScenarioToJson(DemoScenario());
}

} // namespace orvelle
