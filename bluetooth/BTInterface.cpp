// The inquiry pass, the address conversion and the service query over the installed platform. The
// device list's lock is held only around the update of one record, never across a platform call or
// a hand-over to the window, whose handlers take the lock themselves.
#include "bluetooth/BTInterface.h"

#include "bluetooth/DiscoveryHost.h"
#include "bluetooth/sdp/LastError.h"
#include "inventory/Errors.h"
#include "inventory/SessionState.h"
#include "inventory/Trace.h"
#include "inventory/Utils.h"

#include <utility>

namespace orvelle {

namespace {

// Runs END when the scope is left, by return or by exception: every successful begin or open of the
// platform is ended exactly once.
template<class TEnd>
class TOnExit {
public:
    explicit TOnExit(TEnd end) : FEnd(std::move(end)) {}
    ~TOnExit() { FEnd(); }
    TOnExit(const TOnExit&) = delete;
    TOnExit& operator=(const TOnExit&) = delete;

private:
    TEnd FEnd;
};

[[noreturn]] void RaisePlatformError(const char* message) {
    throw EOrvelleError(std::string(message) + "\n\nError: " + GetLastErrorText());
}

TDeviceList& SessionDeviceList() {
    if (Session == nullptr)
        throw EOrvelleError("No session is loaded.");
    return Session->DeviceList();
}

struct TSighting {
    bool New = false;
    bool Query = false;
};

// Creates or updates the record of one device seen by the pass; the caller holds the list's lock.
TSighting RecordSighting(TDeviceList& list, const std::string& address, const std::string& name,
                         std::uint32_t classOfDevice) {
    TSighting sighting;
    TBTDevice* device = list.FindDevice(address);
    if (device == nullptr) {
        device = &list.AddDevice(address);
        device->LastSeen = Now();
        sighting.New = true;
        sighting.Query = true;
    }
    if (!name.empty())
        device->Name = name;
    device->SetMajorClass(std::int32_t((classOfDevice & 0x1F00) >> 8));
    device->SetMinorClass(std::int32_t((classOfDevice & 0xFC) >> 2));
    // Widened so that a stored time far in the past cannot overflow the subtraction.
    if (std::int64_t(Now()) - device->LastSeen > ActiveSeconds)
        sighting.Query = true;
    device->LastSeen = Now();
    ++device->SeenCount;
    device->Location = Session->Location();
    list.NotifyChanged();
    return sighting;
}

} // namespace

bool BTPerformDiscovery() {
    TDiscoveryHost* host = DiscoveryHost();
    if (host == nullptr)
        throw EOrvelleError("No discovery thread is running.");
    TBluetoothPlatform& platform = Platform();
    TDeviceList& list = SessionDeviceList();

    ORVELLE_TRACE(100, "BTPerformDiscovery", 459, "Start scan");
    TLookupHandle lookup = 0;
    if (!platform.InquiryBegin(lookup)) {
        if (GetLastError() == leServiceNotFound) {
            ORVELLE_TRACE(100, "BTPerformDiscovery", 467, "No devices found ");
            return true;
        }
        RaisePlatformError("Unable to start device lookup.");
    }
    TOnExit endLookup([&platform, lookup] { platform.InquiryEnd(lookup); });

    while (!host->IsTerminated()) {
        TInquiryResult result;
        if (!platform.InquiryNext(lookup, InquiryBufferLength, result)) {
            if (GetLastError() == leNoMoreResults)
                break;
            RaisePlatformError("Unable to read device information.");
        }
        const std::string address = BTAddressToString(result.RemoteAddress, result.RemoteAddressLength);
        ORVELLE_TRACE(100, "BTPerformDiscovery", 492, "   Saw device %s", address.c_str());

        TSighting sighting;
        {
            TDeviceListLock lock(list);
            sighting = RecordSighting(list, address, result.Name, result.ClassOfDevice);
        }
        if (sighting.New) {
            host->LogMessage("Found new device: " + address);
            host->NewDeviceFound();
        }
        // The inquiry lookup stays open meanwhile; its next result is read after the query.
        if (sighting.Query)
            QuerySDP(address);
    }
    return true;
}

std::string BTAddressToString(const TSocketAddress& address, int length) {
    TBluetoothPlatform& platform = Platform();
    TLookupHandle converter = 0;
    if (!platform.OpenAddressConverter(converter))
        RaisePlatformError("Unable to get Bluetooth socket.");
    TOnExit close([&platform, converter] { platform.CloseAddressConverter(converter); });
    if (!platform.ReadProtocolInformation(converter))
        RaisePlatformError("Unable to get protocol information for Bluetooth socket.");
    std::string text;
    if (!platform.AddressToString(converter, address, length, text))
        RaisePlatformError("Unable to convert address to string.");
    return text;
}

void QuerySDP(const std::string& address) {
    ORVELLE_TRACE_ENTER("QuerySDP");
    TBluetoothPlatform& platform = Platform();
    TDeviceList& list = SessionDeviceList();

    ORVELLE_TRACE(100, "QuerySDP", 376, "SDP lookup");
    TLookupHandle lookup = 0;
    if (!platform.ServiceBegin(address, lookup)) {
        if (GetLastError() == leServiceNotFound) {
            // The device's earlier records stay; no exit line is written on this path.
            ORVELLE_TRACE(50, "QuerySDP", 383, "No services advertised by device");
            return;
        }
        RaisePlatformError("Unable to fetch service information.");
    }
    {
        TOnExit endLookup([&platform, lookup] { platform.ServiceEnd(lookup); });
        {
            TDeviceListLock lock(list);
            if (TBTDevice* device = list.FindDevice(address))
                device->RawSDPRecords.clear();
        }
        for (;;) {
            TServiceResult result;
            if (!platform.ServiceNext(lookup, ServiceBufferLength, result)) {
                if (GetLastError() == leNoMoreResults)
                    break;
                RaisePlatformError("Unable to fetch service information.");
            }
            if (!result.Record)
                continue;
            TDeviceListLock lock(list);
            TBTDevice* device = list.FindDevice(address);
            if (device != nullptr)
                device->RawSDPRecords.push_back(std::move(*result.Record));
            list.NotifyChanged();
            if (device == nullptr)
                throw EOrvelleError("Unable to find device to record SDP results: " + address);
        }
    }
    ORVELLE_TRACE_EXIT("QuerySDP");
}

} // namespace orvelle
