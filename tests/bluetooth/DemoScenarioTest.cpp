// The built-in demo: its file in resources/ is what the program builds in, its devices cover what an
// operator should see, its records render, and a pass over it records them.
#include "bluetooth/DemoScenario.h"
#include "bluetooth/BTInterface.h"
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/sdp/SdpText.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace orvelle::test {
namespace {

TEST(DemoScenarioTest, ResourceFileIsTheBuiltInDemo) {
    const auto root = std::filesystem::path(ORVELLE_TEST_DATA_DIR).parent_path().parent_path().parent_path();
    const std::string file = (root / "resources" / "demo-scenario.json").string();
    EXPECT_TRUE(ReadAll(file) == DemoScenarioText())
        << file << " differs from the built-in demo; write it again with: orvelle-demo-scenario " << file;
    EXPECT_EQ(ScenarioToJson(ParseScenario(DemoScenarioText())), DemoScenarioText());
}

TEST(DemoScenarioTest, DevicesShowWhatAnOperatorMeets) {
    const TScenario demo = DemoScenario();
    EXPECT_EQ(demo.Radios.size(), 1u);
    EXPECT_GE(demo.Devices.size(), 10u);
    EXPECT_EQ(
        std::count_if(demo.Devices.begin(), demo.Devices.end(), [](const auto& d) { return d.Name.empty(); }),
        1);
    EXPECT_EQ(
        std::count_if(demo.Devices.begin(), demo.Devices.end(), [](const auto& d) { return !d.Records; }), 1);

    bool returnsAfterAnAbsence = false;
    for (const TScenarioDevice& device : demo.Devices)
        for (std::size_t i = 1; i < device.InRange.size(); ++i)
            returnsAfterAnAbsence |= device.InRange[i].From - device.InRange[i - 1].To > ActiveSeconds;
    EXPECT_TRUE(returnsAfterAnAbsence) << "some device must come back and be queried again";

    for (const TScenarioDevice& device : demo.Devices) {
        TBTDevice record;
        record.RawSDPRecords = device.Records.value_or(std::vector<std::string>{});
        for (const std::string& raw : record.RawSDPRecords)
            EXPECT_NO_THROW(SDPRecordToText(raw)) << device.Name;
        for (const std::string& service : record.AdvertisedServices())
            EXPECT_NE(service, "Unknown") << device.Name;
    }
}

class TQuietHost : public TDiscoveryHost {
public:
    TQuietHost() { SetDiscoveryHost(this); }
    ~TQuietHost() override { SetDiscoveryHost(nullptr); }
    bool IsTerminated() override { return false; }
    void LogMessage(const std::string&) override {}
    void NewDeviceFound() override {}
};

TEST(DemoScenarioTest, PassRecordsTheDevicesInRangeWithTheirRecords) {
    TTestClock clock(1400000000);
    TTestSession session;
    TQuietHost host;
    const TScenario demo = DemoScenario();
    TInstalledPlatform installed(std::make_shared<TSimulatedRadio>(demo, [](std::chrono::milliseconds) {}));

    EXPECT_TRUE(BTPerformDiscovery());

    int inRange = 0;
    for (const TScenarioDevice& device : demo.Devices) {
        if (!device.InRange.front().Holds(0))
            continue;
        ++inRange;
        const TBTDevice record = Snapshot(session.List(), FormatAddressText(device.Address));
        EXPECT_EQ(record.SeenCount, 1) << device.Name;
        EXPECT_EQ(record.RawSDPRecords.size(), device.Records ? device.Records->size() : 0u) << device.Name;
    }
    EXPECT_EQ(session.List().Count(), inRange);
    EXPECT_GE(inRange, 5);
}

} // namespace
} // namespace orvelle::test
