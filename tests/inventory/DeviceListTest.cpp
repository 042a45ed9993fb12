// The device list: look-ups through the address index against a linear search, the re-entrant lock
// across threads with its trace lines, and the change callback.
#include "InventoryTestSupport.h"

#include "inventory/DeviceList.h"
#include "inventory/Trace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace orvelle {
namespace {

using test::ReadAll;
using test::TTempDir;

TBTDevice* LinearFind(TDeviceList& list, std::string_view address) {
    for (int i = 0; i < list.Count(); ++i) {
        if (list.GetDevice(i).Address == address)
            return &list.GetDevice(i);
    }
    return nullptr;
}

TEST(DeviceList, FindDeviceMatchesAddressesByteForByte) {
    TDeviceList list;
    const TDeviceListLock guard(list);
    EXPECT_EQ(list.FindDevice("(00:0A:3A:54:12:34)"), nullptr);
    TBTDevice& upper = list.AddDevice("(00:0A:3A:54:12:3A)");
    TBTDevice& lower = list.AddDevice();
    lower.Address = "(00:0a:3a:54:12:3a)";
    EXPECT_EQ(list.FindDevice("(00:0A:3A:54:12:3A)"), &upper);
    EXPECT_EQ(list.FindDevice("(00:0a:3a:54:12:3a)"), &lower);
    EXPECT_EQ(list.FindDevice("(00:0A:3A:54:12:3"), nullptr);
    EXPECT_EQ(list.FindDevice("(00:0A:3A:54:12:3A) "), nullptr);
    EXPECT_EQ(list.FindDevice(""), nullptr);
}

// The index must answer exactly as the linear search does through every way the list changes:
// duplicates (a loaded file may hold them), addresses assigned after AddDevice, deletions that
// uncover a later duplicate, and clearing.
TEST(DeviceList, IndexAgreesWithLinearSearchThroughChanges) {
    std::mt19937 random(20051207);
    const auto address = [&random] { return "(00:00:00:00:00:0" + std::to_string(random() % 8) + ")"; };
    TDeviceList list;
    const TDeviceListLock guard(list);
    std::vector<TBTDevice*> unaddressed;
    for (int step = 0; step < 4000; ++step) {
        switch (random() % 10) {
        case 0:
        case 1:
        case 2:
            list.AddDevice(address());
            break;
        case 3:
        case 4:
            unaddressed.push_back(&list.AddDevice());
            break;
        case 5:
        case 6:
            if (!unaddressed.empty()) {
                unaddressed.back()->Address = address();
                unaddressed.pop_back();
            }
            break;
        case 7:
        case 8:
            if (list.Count() > 0) {
                const int index = static_cast<int>(random() % static_cast<unsigned>(list.Count()));
                std::erase(unaddressed, &list.GetDevice(index));
                list.Delete(index);
            }
            break;
        default:
            if (random() % 50 == 0) {
                list.Clear();
                unaddressed.clear();
            }
        }
        for (int k = 0; k < 9; ++k) {
            const std::string wanted = k == 8 ? std::string() : "(00:00:00:00:00:0" + std::to_string(k) + ")";
            ASSERT_EQ(list.FindDevice(wanted), LinearFind(list, wanted))
                << "step " << step << " address " << wanted;
        }
    }
}

TEST(DeviceList, DeleteMovesLaterRecordsUp) {
    TDeviceList list;
    const TDeviceListLock guard(list);
    list.AddDevice("a");
    list.AddDevice("b");
    list.AddDevice("c");
    list.Delete(1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetDevice(0).Address, "a");
    EXPECT_EQ(list.GetDevice(1).Address, "c");
    EXPECT_EQ(list.FindDevice("c"), &list.GetDevice(1));
    EXPECT_EQ(list.FindDevice("b"), nullptr);
}

// Taking the lock twice and releasing it once keeps the other thread out; the second release lets
// it in.
TEST(DeviceListLock, IsReentrantAndHeldUntilTheLastRelease) {
    TDeviceList list;
    std::atomic<bool> entered{false};
    list.LockList();
    list.LockList();
    std::thread other([&] {
        const TDeviceListLock guard(list);
        entered = true;
    });
    list.UnlockList();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(entered) << "the other thread got the lock while it was still held once";
    list.UnlockList();
    other.join();
    EXPECT_TRUE(entered);
}

// Two threads changing and reading records under the guard, the way the scan thread and the window
// share the list; ThreadSanitizer checks that every access is covered.
TEST(DeviceListLock, GuardsRecordsSharedBetweenThreads) {
    TDeviceList list;
    {
        const TDeviceListLock guard(list);
        list.AddDevice("(00:00:00:00:00:01)");
    }
    std::thread scanner([&] {
        for (int i = 0; i < 2000; ++i) {
            const TDeviceListLock guard(list);
            TBTDevice* device = list.FindDevice("(00:00:00:00:00:01)");
            ++device->SeenCount;
            device->Location = "Room " + std::to_string(i);
            list.NotifyChanged();
        }
    });
    int seen = 0;
    for (int i = 0; i < 2000; ++i) {
        const TDeviceListLock guard(list);
        const TDeviceListLock again(list);
        seen = list.GetDevice(0).SeenCount;
    }
    scanner.join();
    const TDeviceListLock guard(list);
    EXPECT_EQ(list.GetDevice(0).SeenCount, 2000);
    EXPECT_LE(seen, 2000);
}

TEST(DeviceListLock, TracesLockAndUnlockAtLevel210) {
    const TTempDir directory;
    const std::string traceFile = directory.File("trace.log");
    ASSERT_EQ(TraceStart(traceFile.c_str()), 0);
    const int previous = TraceEnabled[TraceModule];
    TDeviceList list;
    TraceLevel(TraceModule, 209);
    list.LockList();
    list.UnlockList();
    TraceLevel(TraceModule, 210);
    list.LockList();
    list.UnlockList();
    TraceLevel(TraceModule, previous);
    TraceStop();
    const std::string trace = ReadAll(traceFile);
    const std::string lockLine = "]TDeviceList::LockList:197 TDeviceList::LockList\n";
    const std::string unlockLine = "]TDeviceList::UnlockList:205 TDeviceList::UnlockList\n";
    const auto lock = trace.find(lockLine);
    const auto unlock = trace.find(unlockLine);
    ASSERT_NE(lock, std::string::npos) << trace;
    ASSERT_NE(unlock, std::string::npos) << trace;
    EXPECT_LT(lock, unlock);
    EXPECT_EQ(trace.find(lockLine, lock + 1), std::string::npos) << "level 209 must not trace:\n" << trace;
}

TEST(DeviceList, NotifyChangedCallsTheInstalledCallback) {
    TDeviceList list;
    int calls = 0;
    const TDeviceListLock guard(list);
    list.NotifyChanged();
    list.SetChangeCallback([&calls] { ++calls; });
    list.NotifyChanged();
    list.NotifyChanged();
    EXPECT_EQ(calls, 2);
    list.SetChangeCallback({});
    list.NotifyChanged();
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace orvelle
