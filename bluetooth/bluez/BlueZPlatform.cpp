// The BlueZ backend's lookups and radio handles: each begin does the whole work (an inquiry window, a
// service search, a read of the radios) and the handle hands out its results one by one.
#include "bluetooth/bluez/BlueZPlatform.h"

#include "bluetooth/DiscoveryHost.h"
#include "bluetooth/bluez/BlueZInquiry.h"
#include "bluetooth/bluez/BlueZRadios.h"
#include "bluetooth/bluez/ErrnoError.h"
#include "bluetooth/bluez/SdpClient.h"
#include "bluetooth/bluez/SeqPacketTransport.h"
#include "bluetooth/sdp/LastError.h"

#include <map>
#include <mutex>
#include <vector>

namespace orvelle {

namespace {

// Results of one begin, handed out in order by the next calls.
template<class T>
struct TResults {
    std::vector<T> Items;
    std::size_t Next = 0;
};

// The inquiry runs on the discovery thread, so its termination request ends the window early.
bool DiscoveryTerminated() {
    TDiscoveryHost* host = DiscoveryHost();
    return host && host->IsTerminated();
}

class TBlueZPlatform final : public TBluetoothPlatform {
public:
    explicit TBlueZPlatform(const TBlueZSettings& settings) : FSettings(settings) {}

    bool InquiryBegin(TLookupHandle& handle) override {
        std::vector<TInquiryResult> seen;
        if (!RunInquiry(FSettings.InquiryWindow, DiscoveryTerminated, seen))
            return false;
        return !seen.empty() ? Store(FInquiries, std::move(seen), handle) : FailWith(leServiceNotFound);
    }

    bool InquiryNext(TLookupHandle handle, std::size_t bufferLength, TInquiryResult& result) override {
        return Next(FInquiries, handle, bufferLength, result, InquiryResultSize);
    }

    void InquiryEnd(TLookupHandle handle) override { Erase(FInquiries, handle); }

    bool ServiceBegin(const std::string& address, TLookupHandle& handle) override {
        const auto parsed = ParseAddressText(address);
        if (!parsed)
            return FailWith(leInvalidParameter);
        kernel::TBdAddr device;
        for (std::size_t i = 0; i < device.size(); ++i)
            device[i] = static_cast<std::uint8_t>(*parsed >> (8 * i));
        const auto transport =
            ConnectSdpServer(device, FSettings.SdpConnectTimeoutMs, FSettings.SdpReceiveTimeoutMs);
        std::vector<std::string> records;
        if (!transport || !FetchServiceRecords(*transport, records))
            return false;
        if (records.empty())
            return FailWith(leServiceNotFound);
        std::vector<TServiceResult> results;
        for (auto& record : records)
            results.push_back(TServiceResult{std::move(record)});
        return Store(FServices, std::move(results), handle);
    }

    bool ServiceNext(TLookupHandle handle, std::size_t bufferLength, TServiceResult& result) override {
        return Next(FServices, handle, bufferLength, result, ServiceResultSize);
    }

    void ServiceEnd(TLookupHandle handle) override { Erase(FServices, handle); }

    bool FindFirstRadio(TRadioFindHandle& find, TRadioHandle& radio) override {
        std::vector<TRadioSnapshot> radios;
        if (!ReadRadios(radios))
            return false;
        if (radios.empty())
            return FailWith(leNoMoreItems);
        Store(FRadioFinds, std::move(radios), find);
        return FindNextRadio(find, radio);
    }

    bool FindNextRadio(TRadioFindHandle find, TRadioHandle& radio) override {
        std::lock_guard lock(FMutex);
        const auto found = FRadioFinds.find(find);
        if (found == FRadioFinds.end())
            return FailWith(leInvalidParameter);
        TResults<TRadioSnapshot>& finds = found->second;
        if (finds.Next >= finds.Items.size())
            return FailWith(leNoMoreItems);
        radio = ++FLastHandle;
        FRadios.emplace(radio, finds.Items[finds.Next++]);
        return true;
    }

    void FindRadioClose(TRadioFindHandle find) override { Erase(FRadioFinds, find); }

    bool GetRadioInfo(TRadioHandle radio, TRadioInformation& information) override {
        std::lock_guard lock(FMutex);
        const auto found = FRadios.find(radio);
        if (found == FRadios.end())
            return FailWith(leInvalidParameter);
        information = found->second.Information;
        return true;
    }

    bool IsDiscoverable(TRadioHandle radio) override {
        return RadioFlag(radio, &TRadioSnapshot::Discoverable);
    }

    bool IsConnectable(TRadioHandle radio) override { return RadioFlag(radio, &TRadioSnapshot::Connectable); }

    void CloseRadio(TRadioHandle radio) override {
        std::lock_guard lock(FMutex);
        FRadios.erase(radio);
    }

private:
    template<class T>
    bool Store(std::map<std::uint64_t, TResults<T>>& lookups, std::vector<T> items, std::uint64_t& handle) {
        std::lock_guard lock(FMutex);
        handle = ++FLastHandle;
        lookups[handle].Items = std::move(items);
        return true;
    }

    template<class T, class SizeOf>
    bool Next(std::map<std::uint64_t, TResults<T>>& lookups, std::uint64_t handle, std::size_t bufferLength,
              T& result, SizeOf sizeOf) {
        std::lock_guard lock(FMutex);
        const auto found = lookups.find(handle);
        if (found == lookups.end())
            return FailWith(leInvalidParameter);
        TResults<T>& results = found->second;
        if (results.Next >= results.Items.size())
            return FailWith(leNoMoreResults);
        // A result that does not fit stays in place, as a buffer too small leaves it on a real stack.
        if (sizeOf(results.Items[results.Next]) > bufferLength)
            return FailWith(leInsufficientBuffer);
        result = results.Items[results.Next++];
        return true;
    }

    template<class T>
    void Erase(std::map<std::uint64_t, TResults<T>>& lookups, std::uint64_t handle) {
        std::lock_guard lock(FMutex);
        lookups.erase(handle);
    }

    bool RadioFlag(TRadioHandle radio, bool TRadioSnapshot::*flag) {
        std::lock_guard lock(FMutex);
        const auto found = FRadios.find(radio);
        return found != FRadios.end() && found->second.*flag;
    }

    const TBlueZSettings FSettings;
    // Guards the handle tables: the discovery thread and the window thread call at the same time.
    std::mutex FMutex;
    std::uint64_t FLastHandle = 0;
    std::map<TLookupHandle, TResults<TInquiryResult>> FInquiries;
    std::map<TLookupHandle, TResults<TServiceResult>> FServices;
    std::map<TRadioFindHandle, TResults<TRadioSnapshot>> FRadioFinds;
    std::map<TRadioHandle, TRadioSnapshot> FRadios;
};

} // namespace

std::unique_ptr<TBluetoothPlatform> CreateBlueZPlatform(const TBlueZSettings& settings) {
    return std::make_unique<TBlueZPlatform>(settings);
}

} // namespace orvelle
