// Helpers of the inventory tests: a temporary directory per test, whole-file access, a fixed clock
// and the state of the worked example session file.
#pragma once

#include "inventory/SessionState.h"
#include "inventory/Utils.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace orvelle::test {

inline std::string TestData(const std::string& name) {
    return ReadAll(std::string(ORVELLE_TEST_DATA_DIR) + "/" + name);
}

// Sets the clock for the lifetime of the object and restores the system clock afterwards.
class TFixedClock {
public:
    explicit TFixedClock(std::int32_t now) : FNow(std::make_shared<std::atomic<std::int32_t>>(now)) {
        SetClock([now = FNow] { return now->load(); });
    }
    ~TFixedClock() { SetClock({}); }
    TFixedClock(const TFixedClock&) = delete;
    TFixedClock& operator=(const TFixedClock&) = delete;
    void Set(std::int32_t now) { *FNow = now; }

private:
    std::shared_ptr<std::atomic<std::int32_t>> FNow;
};

inline const std::string WorkedExampleRecord("\x35\x08\x09\x00\x00\x0A\x00\x01\x00\x00", 10);

// The session of the worked example file: one organizer with one record, two log lines, hiding on.
inline std::unique_ptr<TSessionState> WorkedExampleState() {
    auto state = std::make_unique<TSessionState>();
    TBTDevice& device = state->DeviceList().AddDevice("(00:0A:3A:54:12:34)");
    device.Name = "Organizer";
    device.SetMajorClass(1);
    device.SetMinorClass(5);
    device.FirstSeen = 1133946400;
    device.LastSeen = 1133946800;
    device.SeenCount = 3;
    device.RawSDPRecords = {WorkedExampleRecord};
    device.Location = "Office";
    state->SetLocation("Office");
    state->Log = {"12/07/05 at 09:13:20: Found new device: (00:0A:3A:54:12:34)",
                  "12/07/05 at 09:06:40: Scan started in location Office"};
    state->HideInactive = true;
    return state;
}

} // namespace orvelle::test
