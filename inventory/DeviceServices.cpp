// A device's service records as text: the SDP text for display and the cached services list.
#include "inventory/BTDevice.h"

#include "bluetooth/sdp/SdpText.h"

#include <algorithm>

namespace orvelle {

namespace {

// Attribute 0x0100: the service name at the primary language base.
constexpr std::uint32_t ServiceNameAttribute = 0x0100;

std::string ServiceName(const std::string& record) {
    std::string name = SDPAttributeText(ServiceNameAttribute, record);
    return name.empty() ? "Unknown" : name;
}

} // namespace

std::string TBTDevice::SDPText() const {
    if (!RawSDPRecords.empty()) {
        std::string text;
        for (const std::string& record : RawSDPRecords)
            text += SDPRecordToText(record);
        std::replace(text.begin(), text.end(), '\0', ' ');
        return text;
    }
    if (!RawSDPStream.empty())
        return SDPRecordToText(RawSDPStream);
    return "No SDP information available.";
}

// The cache follows the records themselves, not only their number: a service query that replaces
// the records with as many others gets the new names.
const std::vector<std::string>& TBTDevice::AdvertisedServices() {
    if (FServicesCount == static_cast<std::int32_t>(RawSDPRecords.size()) &&
        FServicesGeneration == RawSDPRecords.Generation())
        return FServices;
    FServices.clear();
    // Records loaded from an old session file may exist only as the single stream; they become the
    // first item of the records once, and are saved that way from then on.
    if (RawSDPRecords.empty() && !RawSDPStream.empty())
        RawSDPRecords.push_back(RawSDPStream);
    FServices.reserve(RawSDPRecords.size());
    for (const std::string& record : RawSDPRecords)
        FServices.push_back(ServiceName(record));
    FServicesCount = static_cast<std::int32_t>(RawSDPRecords.size());
    FServicesGeneration = RawSDPRecords.Generation();
    return FServices;
}

} // namespace orvelle
