// The inquiry pass of the program over the BlueZ backend and the mock daemon: the devices heard are
// recorded with their names and classes, as the program does with a real adapter.
#include "MockBlueZ.h"

#include "bluetooth/BTInterface.h"
#include "bluetooth/bluez/BlueZPlatform.h"
#include "inventory/Errors.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using namespace std::chrono_literals;

class TLoggingHost final : public TDiscoveryHost {
public:
    TLoggingHost() { SetDiscoveryHost(this); }
    ~TLoggingHost() override { SetDiscoveryHost(nullptr); }
    TLoggingHost(const TLoggingHost&) = delete;
    TLoggingHost& operator=(const TLoggingHost&) = delete;

    bool IsTerminated() override { return false; }
    void LogMessage(const std::string& text) override { Log.push_back(text); }
    void NewDeviceFound() override {}

    std::vector<std::string> Log;
};

TEST(DiscoveryOverBlueZ, PassRecordsTheDevicesHeardWithNamesAndClasses) {
    TPrivateBus bus;
    ASSERT_TRUE(bus.Running());
    TMockBlueZ mock(bus.Directory() + "/mock.log");
    ASSERT_TRUE(mock.Running());
    mock.AddAdapter("hci0", "Lab computer");

    TTestSession session;
    TInstalledPlatform installed(CreateBlueZPlatform({.InquiryWindow = 1500ms}));
    TLoggingHost host;
    std::thread air([&] {
        ASSERT_TRUE(mock.WaitUntilDiscovering("/org/bluez/hci0"));
        const auto phone = mock.AddDevice("hci0", "5C:F3:70:00:00:01", "Pocket phone");
        mock.SetProperty(phone, "org.bluez.Device1", "Class", "u", 0x5A020C);
    });
    // The new device's service query needs an L2CAP socket; where the kernel has none (or the mock's
    // device does not exist on air) it fails, which ends the pass after the device was recorded.
    try {
        BTPerformDiscovery();
    } catch (const EOrvelleError& failure) {
        EXPECT_THAT(failure.what(), StartsWith("Unable to fetch service information.\n\nError: "));
    }
    air.join();

    EXPECT_THAT(host.Log, ElementsAre("Found new device: (5C:F3:70:00:00:01)"));
    TDeviceListLock lock(session.List());
    ASSERT_EQ(session.List().Count(), 1);
    const TBTDevice& phone = session.List().GetDevice(0);
    EXPECT_EQ(phone.Address, "(5C:F3:70:00:00:01)");
    EXPECT_EQ(phone.Name, "Pocket phone");
    EXPECT_EQ(phone.MajorClass(), 2);
    EXPECT_EQ(phone.MinorClass(), 3);
    EXPECT_EQ(phone.Type, dtPhone);
    EXPECT_EQ(phone.SeenCount, 1);
    EXPECT_EQ(phone.Location, "Lab");
}

} // namespace
} // namespace orvelle::test
