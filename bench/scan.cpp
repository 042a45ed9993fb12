// The inquiry pass's own work with a large inventory: 100,000 stored devices, 200 of them in range,
// the simulated radio answering at once and a host whose hand-overs cost nothing, so that what is
// timed is the address conversion, the look-ups and the updates under the lock.
#include "bluetooth/BTInterface.h"
#include "bluetooth/DiscoveryHost.h"
#include "bluetooth/SimulatedRadio.h"
#include "inventory/SessionState.h"
#include "inventory/Utils.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace orvelle {
namespace {

constexpr int StoredDevices = 100000;
constexpr int DevicesInRange = 200;
constexpr std::int32_t Now0 = 1500000000;

std::uint64_t AddressOf(int index) {
    return 0x001122000000 + std::uint64_t(index) * 7919;
}

class TIdleHost : public TDiscoveryHost {
public:
    bool IsTerminated() override { return false; }
    void LogMessage(const std::string&) override {}
    void NewDeviceFound() override {}
};

void BM_PassOverLargeInventory(benchmark::State& state) {
    SetClock([] { return Now0; });
    auto session = std::make_unique<TSessionState>();
    session->SetLocation("Office");
    {
        TDeviceListLock lock(session->DeviceList());
        for (int i = 0; i < StoredDevices; ++i) {
            TBTDevice& device = session->DeviceList().AddDevice(FormatAddressText(AddressOf(i)));
            device.LastSeen = Now0;
        }
    }
    Session = session.get();
    TScenario scenario;
    for (int i = 0; i < DevicesInRange; ++i)
        scenario.Devices.push_back(
            {AddressOf(i * (StoredDevices / DevicesInRange)), "Device", 0x5A020C, {{0, 3600}}, std::nullopt});
    SetPlatform(std::make_shared<TSimulatedRadio>(std::move(scenario)));
    TIdleHost host;
    SetDiscoveryHost(&host);

    for (auto _ : state)
        benchmark::DoNotOptimize(BTPerformDiscovery());

    state.counters["devices_per_pass"] = DevicesInRange;
    SetDiscoveryHost(nullptr);
    SetPlatform(nullptr);
    Session = nullptr;
    SetClock({});
}
BENCHMARK(BM_PassOverLargeInventory)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvelle

BENCHMARK_MAIN();
