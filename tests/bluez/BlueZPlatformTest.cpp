// The BlueZ backend against the mock daemon on a private bus: which devices a pass reports, with what
// names and classes, the radios, and the failure an operator sees when something is missing.
#include "MockBlueZ.h"

#include "bluetooth/DiscoveryHost.h"
#include "bluetooth/bluez/BlueZPlatform.h"
#include "bluetooth/bluez/BlueZRadios.h"
#include "bluetooth/sdp/LastError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

constexpr std::size_t InquiryBuffer = 1000;

struct TSeen {
    std::string Name;
    std::uint32_t Class;
    std::string Address;
    bool operator==(const TSeen&) const = default;
};

void PrintTo(const TSeen& seen, std::ostream* out) {
    *out << "{\"" << seen.Name << "\", 0x" << std::hex << seen.Class << std::dec << ", " << seen.Address
         << "}";
}

// An inquiry begin that fails with EXPECTED, the error the operator reads.
void ExpectInquiryFails(TBluetoothPlatform& platform, std::uint32_t expected) {
    TLookupHandle lookup = 0;
    EXPECT_FALSE(platform.InquiryBegin(lookup));
    EXPECT_EQ(GetLastError(), expected) << GetLastErrorText();
}

void ExpectNoRadio(TBluetoothPlatform& platform, std::uint32_t expected) {
    TRadioFindHandle find = 0;
    TRadioHandle radio = 0;
    EXPECT_FALSE(platform.FindFirstRadio(find, radio));
    EXPECT_EQ(GetLastError(), expected) << GetLastErrorText();
}

class BlueZPlatform : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Bus.Running()) << "dbus-daemon did not start";
        Mock = std::make_unique<TMockBlueZ>(Bus.Directory() + "/mock.log");
        ASSERT_TRUE(Mock->Running()) << "the bluez5 mock did not start";
    }

    // One inquiry through the platform's lookup: begin, every next, end.
    std::vector<TSeen> Inquire(TBluetoothPlatform& platform) {
        std::vector<TSeen> seen;
        TLookupHandle lookup = 0;
        if (!platform.InquiryBegin(lookup)) {
            EXPECT_EQ(GetLastError(), leServiceNotFound) << GetLastErrorText();
            return seen;
        }
        TInquiryResult result;
        while (platform.InquiryNext(lookup, InquiryBuffer, result)) {
            std::string address;
            EXPECT_TRUE(
                platform.AddressToString(0, result.RemoteAddress, result.RemoteAddressLength, address));
            seen.push_back({result.Name, result.ClassOfDevice, address});
        }
        EXPECT_EQ(GetLastError(), leNoMoreResults) << GetLastErrorText();
        platform.InquiryEnd(lookup);
        return seen;
    }

    TPrivateBus Bus;
    std::unique_ptr<TMockBlueZ> Mock;
};

TEST_F(BlueZPlatform, PassReportsDevicesAddedOrHeardDuringTheWindow) {
    Mock->AddAdapter("hci0", "Lab computer");
    const auto cached = Mock->AddDevice("hci0", "00:0A:3A:54:12:34", "Cached");
    const auto returning = Mock->AddDevice("hci0", "00:0A:3A:54:12:35", "Returning");

    // What happens on air while the pass listens, in this order.
    std::thread air([&] {
        ASSERT_TRUE(Mock->WaitUntilDiscovering("/org/bluez/hci0"));
        const auto phone = Mock->AddDevice("hci0", "5C:F3:70:00:00:01", "Caf\xC3\xA9 \xE2\x98\x83");
        Mock->SetProperty(phone, "org.bluez.Device1", "Class", "u", 0x5A020C);
        Mock->SetProperty(phone, "org.bluez.Device1", "Alias", "s", "Alias, not the name");
        Mock->AddNamelessDevice("hci0", "5C:F3:70:00:00:02", 0x20C);
        Mock->SetProperty(returning, "org.bluez.Device1", "RSSI", "n", -50);
        Mock->SetProperty(cached, "org.bluez.Device1", "Name", "s", "Renamed but not heard");
        const auto odd = Mock->AddDevice("hci0", "5C:F3:70:00:00:03", "Odd");
        Mock->SetProperty(odd, "org.bluez.Device1", "Class", "s", "not a number");
    });
    auto platform = CreateBlueZPlatform({.InquiryWindow = 2500ms});
    const auto seen = Inquire(*platform);
    air.join();

    EXPECT_THAT(seen, ElementsAre(TSeen{"Caf\xE9 ?", 0x5A020C, "(5C:F3:70:00:00:01)"},
                                  TSeen{"", 0x20C, "(5C:F3:70:00:00:02)"},
                                  TSeen{"Returning", 0, "(00:0A:3A:54:12:35)"},
                                  TSeen{"Odd", 0, "(5C:F3:70:00:00:03)"}));
    EXPECT_EQ(Mock->DiscoveryTransport("/org/bluez/hci0"), "bredr");
    EXPECT_FALSE(Mock->Discovering("/org/bluez/hci0")) << "discovery is stopped after the window";
}

TEST_F(BlueZPlatform, QuietPassFindsNothing) {
    Mock->AddAdapter("hci0", "Lab computer");
    Mock->AddDevice("hci0", "00:0A:3A:54:12:34", "Cached");
    auto platform = CreateBlueZPlatform({.InquiryWindow = 300ms});
    ExpectInquiryFails(*platform, leServiceNotFound);
}

TEST_F(BlueZPlatform, ResultLargerThanTheBufferStaysForTheNextCall) {
    Mock->AddAdapter("hci0", "Lab computer");
    std::thread air([&] {
        ASSERT_TRUE(Mock->WaitUntilDiscovering("/org/bluez/hci0"));
        Mock->AddDevice("hci0", "00:0A:3A:54:12:34", "Phone");
    });
    auto platform = CreateBlueZPlatform({.InquiryWindow = 1000ms});
    TLookupHandle lookup = 0;
    const bool begun = platform->InquiryBegin(lookup);
    air.join();
    ASSERT_TRUE(begun) << GetLastErrorText();
    TInquiryResult result;
    EXPECT_FALSE(platform->InquiryNext(lookup, 20, result));
    EXPECT_EQ(GetLastError(), leInsufficientBuffer);
    EXPECT_TRUE(platform->InquiryNext(lookup, InquiryBuffer, result));
    EXPECT_EQ(result.Name, "Phone");
    platform->InquiryEnd(lookup);
}

class TTerminatedHost final : public TDiscoveryHost {
public:
    bool IsTerminated() override { return true; }
    void LogMessage(const std::string&) override {}
    void NewDeviceFound() override {}
};

TEST_F(BlueZPlatform, TerminationRequestEndsTheWindowEarly) {
    Mock->AddAdapter("hci0", "Lab computer");
    TTerminatedHost host;
    SetDiscoveryHost(&host);
    auto platform = CreateBlueZPlatform({.InquiryWindow = 60s});
    const auto start = std::chrono::steady_clock::now();
    TLookupHandle lookup = 0;
    platform->InquiryBegin(lookup);
    SetDiscoveryHost(nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(Mock->Discovering("/org/bluez/hci0"));
}

TEST_F(BlueZPlatform, RadiosShowTheAdaptersAndTheStateTheDaemonKnows) {
    Mock->AddAdapter("hci0", "Lab computer");
    Mock->AddAdapter("hci1", "Spare");
    Mock->SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Alias", "s", "Spare \xC3\xBC");
    Mock->SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Discoverable", "b", 1);
    Mock->SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Powered", "b", 0);

    auto platform = CreateBlueZPlatform();
    TRadioFindHandle find = 0;
    TRadioHandle radio = 0;
    struct TRadio {
        TRadioInformation Information;
        bool Discoverable;
        bool Connectable;
    };
    std::vector<TRadio> radios;
    for (bool more = platform->FindFirstRadio(find, radio); more;
         more = platform->FindNextRadio(find, radio)) {
        TRadio read{};
        EXPECT_TRUE(platform->GetRadioInfo(radio, read.Information));
        read.Discoverable = platform->IsDiscoverable(radio);
        read.Connectable = platform->IsConnectable(radio);
        radios.push_back(read);
        platform->CloseRadio(radio);
    }
    EXPECT_EQ(GetLastError(), leNoMoreItems);
    platform->FindRadioClose(find);

    ASSERT_EQ(radios.size(), 2u);
    // This machine's kernel offers no Bluetooth sockets: maker and version fall back, and the powered
    // state stands for connectable.
    const std::array<std::uint8_t, 6> firstAddress{5, 4, 3, 2, 1, 0};
    EXPECT_EQ(radios[0].Information.Address, firstAddress);
    EXPECT_EQ(radios[0].Information.Name, u"Lab computer");
    EXPECT_EQ(radios[0].Information.ClassOfDevice, 268u);
    EXPECT_EQ(radios[0].Information.Manufacturer, UnknownManufacturer);
    EXPECT_EQ(radios[0].Information.LmpSubversion, 0);
    EXPECT_FALSE(radios[0].Discoverable);
    EXPECT_TRUE(radios[0].Connectable);
    EXPECT_EQ(radios[1].Information.Name, u"Spare \u00FC");
    EXPECT_TRUE(radios[1].Discoverable);
    EXPECT_FALSE(radios[1].Connectable);
}

// What an operator sees when a piece is missing: a failed begin with the error that names it.
TEST_F(BlueZPlatform, MissingPiecesAreNamed) {
    auto platform = CreateBlueZPlatform({.InquiryWindow = 200ms});
    ExpectInquiryFails(*platform, leNoAdapter);
    ExpectNoRadio(*platform, leNoMoreItems);

    Mock->AddAdapter("hci0", "Lab computer");
    Mock->SetProperty("/org/bluez/hci0", "org.bluez.Adapter1", "Powered", "b", 0);
    ExpectInquiryFails(*platform, leAdapterPoweredOff);

    // The daemon goes away and comes back: the next pass needs no new platform.
    Mock.reset();
    ExpectInquiryFails(*platform, leBluetoothServiceMissing);
    EXPECT_EQ(GetLastErrorText(), "The Bluetooth service is not running.\r\n");
    Mock = std::make_unique<TMockBlueZ>(Bus.Directory() + "/mock.log");
    ASSERT_TRUE(Mock->Running());
    Mock->AddAdapter("hci0", "Lab computer");
    ExpectInquiryFails(*platform, leServiceNotFound);
}

TEST(BlueZPlatformWithoutBus, NoBusMeansNoBluetoothService) {
    char directory[] = "/tmp/orvelle-nobus-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + std::string(directory) + "/none").c_str(), 1);
    auto platform = CreateBlueZPlatform({.InquiryWindow = 200ms});
    ExpectInquiryFails(*platform, leBluetoothServiceMissing);
    ExpectNoRadio(*platform, leBluetoothServiceMissing);
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    rmdir(directory);
}

TEST(BlueZPlatformServices, AddressThatIsNotAnAddressTextIsRefused) {
    auto platform = CreateBlueZPlatform();
    TLookupHandle lookup = 0;
    for (const char* text : {"", "00:0A:3A:54:12:34", "(00:0A:3A:54:12)", "(00:0A:3A:54:12:3G)"}) {
        EXPECT_FALSE(platform->ServiceBegin(text, lookup)) << text;
        EXPECT_EQ(GetLastError(), leInvalidParameter) << text;
    }
}

} // namespace
} // namespace orvelle::test
