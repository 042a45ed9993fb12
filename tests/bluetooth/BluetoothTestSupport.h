// Helpers of the Bluetooth and scan tests: the trace file of a test, a session installed as the
// process's, a scripted platform and a discovery host that records what the pass hands over.
#pragma once

#include "bluetooth/DiscoveryHost.h"
#include "bluetooth/Platform.h"
#include "bluetooth/sdp/LastError.h"
#include "inventory/SessionState.h"
#include "inventory/Utils.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include "kavoutils.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace orvelle::test {

// The clock at the start of a test, and two devices that tests find.
constexpr std::int32_t Start = 1200000000;
constexpr std::uint64_t Organizer = 0x000A3A541234;
constexpr const char* OrganizerText = "(00:0A:3A:54:12:34)";
constexpr std::uint64_t Headset = 0x001B66000001;
constexpr const char* HeadsetText = "(00:1B:66:00:00:01)";

// The clock for the lifetime of the object, at a time the test sets; the system clock afterwards.
class TTestClock {
public:
    explicit TTestClock(std::int32_t now) : FNow(std::make_shared<std::atomic<std::int32_t>>(now)) {
        SetClock([now = FNow]() -> std::int32_t { return now->load(); });
    }
    ~TTestClock() { SetClock({}); }
    TTestClock(const TTestClock&) = delete;
    TTestClock& operator=(const TTestClock&) = delete;

    void Set(std::int32_t now) { FNow->store(now); }

private:
    std::shared_ptr<std::atomic<std::int32_t>> FNow;
};

// Traces the program's module at LEVEL into a file of its own for the lifetime of the object.
class TTraceCapture {
public:
    explicit TTraceCapture(int level) : FPath(FDir.File("trace.log")) {
        TraceStart(FPath.c_str());
        TraceLevel(10, level);
    }
    ~TTraceCapture() {
        TraceLevel(10, 0);
        TraceStop();
    }
    TTraceCapture(const TTraceCapture&) = delete;
    TTraceCapture& operator=(const TTraceCapture&) = delete;

    std::string Text() const { return ReadAll(FPath); }
    bool Contains(const std::string& part) const { return Text().find(part) != std::string::npos; }

private:
    TTempDir FDir;
    std::string FPath;
};

// A fresh session installed as the process's for the lifetime of the object.
class TTestSession {
public:
    TTestSession() : FState(std::make_unique<TSessionState>()) {
        FState->SetLocation("Lab");
        Session = FState.get();
    }
    ~TTestSession() { Session = nullptr; }
    TTestSession(const TTestSession&) = delete;
    TTestSession& operator=(const TTestSession&) = delete;

    TSessionState& State() { return *FState; }
    TDeviceList& List() { return FState->DeviceList(); }

private:
    std::unique_ptr<TSessionState> FState;
};

// A copy of the record of ADDRESS taken under the list's lock; Address stays empty when it is absent.
inline TBTDevice Snapshot(TDeviceList& list, const std::string& address) {
    TDeviceListLock lock(list);
    const TBTDevice* device = list.FindDevice(address);
    return device != nullptr ? *device : TBTDevice();
}

// True when another thread can take the list's lock within a second: what the window's handlers need
// whenever the scan thread waits for them or for the radio.
// The helper thread is detached: when the lock is held it waits for it and the test fails at once.
inline bool LockIsFree(TDeviceList& list) {
    auto taken = std::make_shared<std::promise<void>>();
    std::future<void> done = taken->get_future();
    std::thread([&list, taken] {
        TDeviceListLock lock(list);
        taken->set_value();
    }).detach();
    return done.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
}

inline TInquiryResult Sighting(std::uint64_t address, std::string name, std::uint32_t classOfDevice) {
    return TInquiryResult{std::move(name), classOfDevice, TSocketAddress{address}, BluetoothAddressLength};
}

// A platform that plays a script: the inquiry's begin outcome and its results or errors in order, and
// per address text the service lookup's begin outcome and its records or errors. Every call is
// recorded, so that tests can check the order and that every lookup was ended.
class TScriptedPlatform : public TBluetoothPlatform {
public:
    struct TInquiryStep {
        TInquiryResult Result;
        std::uint32_t Error = 0;
    };
    struct TServiceStep {
        std::optional<std::string> Record;
        std::uint32_t Error = 0;
    };
    struct TServiceScript {
        std::uint32_t BeginError = 0;
        std::vector<TServiceStep> Steps;
    };

    std::uint32_t InquiryBeginError = 0;
    std::vector<TInquiryStep> Inquiry;
    std::map<std::string, TServiceScript> Services;
    std::uint32_t OpenConverterError = 0;
    std::uint32_t ProtocolInformationError = 0;
    // Runs before each service result is handed out, with the lookup's address.
    std::function<void(const std::string&)> BeforeServiceNext;

    // Adds an event to the record of calls, so that other fakes can show where their calls fell.
    void Note(std::string event) {
        std::lock_guard lock(FMutex);
        FCalls.push_back(std::move(event));
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(FMutex);
        return FCalls;
    }
    int OpenLookups() {
        std::lock_guard lock(FMutex);
        return FOpen;
    }

    bool InquiryBegin(TLookupHandle& handle) override {
        Note("InquiryBegin");
        if (InquiryBeginError != 0)
            return Fail(InquiryBeginError);
        FInquiry = std::deque<TInquiryStep>(Inquiry.begin(), Inquiry.end());
        handle = 1;
        Opened(1);
        return true;
    }
    bool InquiryNext(TLookupHandle, std::size_t bufferLength, TInquiryResult& result) override {
        Note("InquiryNext");
        if (FInquiry.empty())
            return Fail(leNoMoreResults);
        TInquiryStep step = FInquiry.front();
        FInquiry.pop_front();
        if (step.Error != 0)
            return Fail(step.Error);
        if (InquiryResultSize(step.Result) > bufferLength)
            return Fail(leInsufficientBuffer);
        result = step.Result;
        return true;
    }
    void InquiryEnd(TLookupHandle) override {
        Note("InquiryEnd");
        Opened(-1);
    }

    bool ServiceBegin(const std::string& address, TLookupHandle& handle) override {
        Note("ServiceBegin " + address);
        const auto script = Services.find(address);
        if (script == Services.end())
            return Fail(leServiceNotFound);
        if (script->second.BeginError != 0)
            return Fail(script->second.BeginError);
        FServiceAddress = address;
        FService = std::deque<TServiceStep>(script->second.Steps.begin(), script->second.Steps.end());
        handle = 2;
        Opened(1);
        return true;
    }
    bool ServiceNext(TLookupHandle, std::size_t bufferLength, TServiceResult& result) override {
        Note("ServiceNext");
        if (BeforeServiceNext)
            BeforeServiceNext(FServiceAddress);
        if (FService.empty())
            return Fail(leNoMoreResults);
        TServiceStep step = FService.front();
        FService.pop_front();
        if (step.Error != 0)
            return Fail(step.Error);
        if (ServiceResultSize(TServiceResult{step.Record}) > bufferLength)
            return Fail(leInsufficientBuffer);
        result.Record = step.Record;
        return true;
    }
    void ServiceEnd(TLookupHandle) override {
        Note("ServiceEnd");
        Opened(-1);
    }

    bool OpenAddressConverter(TLookupHandle& converter) override {
        if (OpenConverterError != 0)
            return Fail(OpenConverterError);
        Opened(1);
        return TBluetoothPlatform::OpenAddressConverter(converter);
    }
    bool ReadProtocolInformation(TLookupHandle) override {
        return ProtocolInformationError == 0 || Fail(ProtocolInformationError);
    }
    void CloseAddressConverter(TLookupHandle) override { Opened(-1); }

    bool FindFirstRadio(TRadioFindHandle&, TRadioHandle&) override { return Fail(leNoMoreItems); }
    bool FindNextRadio(TRadioFindHandle, TRadioHandle&) override { return Fail(leNoMoreItems); }
    void FindRadioClose(TRadioFindHandle) override {}
    bool GetRadioInfo(TRadioHandle, TRadioInformation&) override { return Fail(leInvalidParameter); }
    bool IsDiscoverable(TRadioHandle) override { return false; }
    bool IsConnectable(TRadioHandle) override { return false; }
    void CloseRadio(TRadioHandle) override {}

private:
    static bool Fail(std::uint32_t error) {
        SetLastError(error);
        return false;
    }
    void Opened(int change) {
        std::lock_guard lock(FMutex);
        FOpen += change;
    }

    std::mutex FMutex;
    std::vector<std::string> FCalls;
    int FOpen = 0;
    std::deque<TInquiryStep> FInquiry;
    std::deque<TServiceStep> FService;
    std::string FServiceAddress;
};

// Installs PLATFORM as the process's for the lifetime of the object.
class TInstalledPlatform {
public:
    explicit TInstalledPlatform(std::shared_ptr<TBluetoothPlatform> platform) {
        SetPlatform(std::move(platform));
    }
    ~TInstalledPlatform() { SetPlatform(nullptr); }
    TInstalledPlatform(const TInstalledPlatform&) = delete;
    TInstalledPlatform& operator=(const TInstalledPlatform&) = delete;
};

} // namespace orvelle::test
