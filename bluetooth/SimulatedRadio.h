// The simulated radio: a platform that plays a scenario, for running and testing the program without
// Bluetooth hardware. Its time is the clock's (Now()) in seconds since the radio was created.
#pragma once

#include "bluetooth/Platform.h"
#include "bluetooth/Scenario.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace orvelle {

class TSimulatedRadio : public TBluetoothPlatform {
public:
    // Waits for the given time; the default sleeps the calling thread.
    using TSleep = std::function<void(std::chrono::milliseconds)>;

    explicit TSimulatedRadio(TScenario scenario, TSleep sleep = {});

    bool InquiryBegin(TLookupHandle& handle) override;
    bool InquiryNext(TLookupHandle handle, std::size_t bufferLength, TInquiryResult& result) override;
    void InquiryEnd(TLookupHandle handle) override;

    bool ServiceBegin(const std::string& address, TLookupHandle& handle) override;
    bool ServiceNext(TLookupHandle handle, std::size_t bufferLength, TServiceResult& result) override;
    void ServiceEnd(TLookupHandle handle) override;

    bool FindFirstRadio(TRadioFindHandle& find, TRadioHandle& radio) override;
    bool FindNextRadio(TRadioFindHandle find, TRadioHandle& radio) override;
    void FindRadioClose(TRadioFindHandle find) override;
    bool GetRadioInfo(TRadioHandle radio, TRadioInformation& information) override;
    bool IsDiscoverable(TRadioHandle radio) override;
    bool IsConnectable(TRadioHandle radio) override;
    void CloseRadio(TRadioHandle radio) override;

    // Lookups, radio searches and radio handles given out and not yet ended or closed.
    std::size_t OpenHandles();

private:
    struct TInquiry {
        std::vector<TInquiryResult> Results;
        std::size_t Next = 0;
    };
    struct TServiceSearch {
        std::uint64_t Address = 0;
        std::vector<std::string> Records;
        std::size_t Next = 0;
    };

    std::int64_t Elapsed() const;
    // True, with the fault's error as the last error, when a fault of OPERATION applies now (to the
    // device ADDRESS, for the SDP operations).
    bool Faulted(TFaultOperation operation, std::uint64_t address = 0) const;
    // The same at the time T (seconds since the radio was created).
    bool FaultedAt(TFaultOperation operation, std::int64_t t, std::uint64_t address = 0) const;
    const TScenarioRadio* Radio(TRadioHandle radio) const;
    TRadioHandle OpenRadio(std::size_t index);
    static bool Fail(std::uint32_t error);

    const TScenario FScenario;
    const TSleep FSleep;
    const std::int32_t FOpenedAt;

    std::mutex FMutex;
    std::uint64_t FLastHandle = 0;
    std::map<TLookupHandle, TInquiry> FInquiries;
    std::map<TLookupHandle, TServiceSearch> FServiceSearches;
    std::map<TRadioFindHandle, std::size_t> FRadioSearches; // the index of the next radio
    std::map<TRadioHandle, std::size_t> FRadios;
};

} // namespace orvelle
