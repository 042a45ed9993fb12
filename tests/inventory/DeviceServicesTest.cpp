// The SDP text and the cached services list of a device.
#include "InventoryTestSupport.h"

#include "bluetooth/sdp/SdpBuilder.h"
#include "inventory/BTDevice.h"
#include "inventory/Errors.h"
#include "inventory/SessionFile.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

std::string Service(const std::string& name) {
    return TSdpRecord{{0x0001, TSdpData::Sequence({TSdpData::Uuid16(0x1105)})},
                      {0x0100, TSdpData::Text(name)}}
        .Bytes();
}

const std::string Unnamed = TSdpRecord{{0x0001, TSdpData::Sequence({TSdpData::Uuid16(0x1108)})}}.Bytes();

TEST(AdvertisedServices, NamesEachRecordAndCallsUnnamedOnesUnknown) {
    TBTDevice device;
    EXPECT_TRUE(device.AdvertisedServices().empty());
    device.RawSDPRecords = {Service("OBEX Object Push"), Unnamed, Service("OBEX Object Push")};
    EXPECT_EQ(device.AdvertisedServices(),
              (std::vector<std::string>{"OBEX Object Push", "Unknown", "OBEX Object Push"}));
}

// The list is the record's own: repeated calls hand out the same list without parsing again.
TEST(AdvertisedServices, IsBuiltOnceWhileTheRecordsStay) {
    TBTDevice device;
    device.RawSDPRecords = {Service("Headset")};
    const std::vector<std::string>* first = &device.AdvertisedServices();
    EXPECT_EQ(&device.AdvertisedServices(), first);
    EXPECT_EQ(*first, std::vector<std::string>{"Headset"});
}

// A new query that stores as many records as before, but other ones, must show the new names.
TEST(AdvertisedServices, FollowsRecordsReplacedWithTheSameNumber) {
    TBTDevice device;
    device.RawSDPRecords = {Service("Headset"), Service("Hands-Free")};
    ASSERT_EQ(device.AdvertisedServices(), (std::vector<std::string>{"Headset", "Hands-Free"}));
    device.RawSDPRecords.clear();
    device.RawSDPRecords.push_back(Service("Dial-up Networking"));
    device.RawSDPRecords.push_back(Service("Serial Port"));
    EXPECT_EQ(device.AdvertisedServices(), (std::vector<std::string>{"Dial-up Networking", "Serial Port"}));
    device.RawSDPRecords = {Service("Printer"), Unnamed};
    EXPECT_EQ(device.AdvertisedServices(), (std::vector<std::string>{"Printer", "Unknown"}));
}

// A record loaded with only the single stream becomes the first item of the records once, and the
// next save writes both properties.
TEST(AdvertisedServices, MovesTheLoadedStreamIntoTheRecordsOnce) {
    TSessionState state;
    TBTDevice& device = state.DeviceList().AddDevice("(00:00:00:00:00:01)");
    device.RawSDPStream = Service("Headset");
    EXPECT_EQ(device.AdvertisedServices(), std::vector<std::string>{"Headset"});
    EXPECT_EQ(device.RawSDPRecords, std::vector<std::string>{Service("Headset")});
    EXPECT_EQ(device.RawSDPStream, Service("Headset"));
    EXPECT_EQ(device.AdvertisedServices(), std::vector<std::string>{"Headset"});
    EXPECT_EQ(device.RawSDPRecords.size(), 1u);
    const std::string text = ComponentToText(state);
    EXPECT_NE(text.find("RawSDPStream = "), std::string::npos);
    EXPECT_NE(text.find("RawSDPRecords.Strings = ("), std::string::npos);
}

TEST(SDPText, RendersEveryRecordWithNulBytesAsBlanks) {
    TBTDevice device;
    EXPECT_EQ(device.SDPText(), "No SDP information available.");
    device.RawSDPRecords = {Service(std::string("AB\0C", 4)), Service("Headset")};
    const std::string text = device.SDPText();
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_NE(text.find("AB C"), std::string::npos) << text;
    EXPECT_LT(text.find("AB C"), text.find("Headset"));
}

// The single stream is rendered as it is, NUL bytes included.
TEST(SDPText, RendersTheStreamUnchanged) {
    TBTDevice device;
    device.RawSDPStream = Service(std::string("AB\0C", 4));
    EXPECT_NE(device.SDPText().find(std::string("AB\0C", 4)), std::string::npos);
}

TEST(SDPText, RaisesTheRenderingErrorForABrokenRecord) {
    TBTDevice device;
    device.RawSDPRecords = {Service("Headset"), std::string("\x35\x10\x09", 3)};
    try {
        device.SDPText();
        FAIL() << "a record cut short rendered without an error";
    } catch (const EOrvelleError& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Unable to enumerate SDP attributes.\n\nError: "))
            << error.what();
    }
}

} // namespace
} // namespace orvelle
