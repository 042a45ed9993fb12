// The device list: its re-entrant lock with the lock trace, the address index and the records.
#include "inventory/DeviceList.h"

#include "inventory/Trace.h"

#include <algorithm>
#include <utility>

namespace orvelle {

void TDeviceList::LockList() {
    ORVELLE_TRACE(210, "TDeviceList::LockList", 197, "TDeviceList::LockList");
    FLock.lock();
}

void TDeviceList::UnlockList() {
    FLock.unlock();
    ORVELLE_TRACE(210, "TDeviceList::UnlockList", 205, "TDeviceList::UnlockList");
}

// Indexes the records appended since the last look-up, and those whose Address was still empty when
// they were indexed and has been set since. A position already in the index is smaller than any
// caught-up one except an earlier unaddressed record's, hence the minimum.
void TDeviceList::CatchUpIndex() const {
    const auto learn = [this](int position) {
        const std::string& address = FDevices[static_cast<std::size_t>(position)]->Address;
        if (address.empty())
            return false;
        auto [entry, inserted] = FIndex.try_emplace(address, position);
        if (!inserted)
            entry->second = std::min(entry->second, position);
        return true;
    };
    std::erase_if(FUnaddressed, learn);
    for (; FIndexed < Count(); ++FIndexed) {
        if (!learn(FIndexed))
            FUnaddressed.push_back(FIndexed);
    }
}

TBTDevice* TDeviceList::FindDevice(std::string_view address) {
    return const_cast<TBTDevice*>(std::as_const(*this).FindDevice(address));
}

const TBTDevice* TDeviceList::FindDevice(std::string_view address) const {
    CatchUpIndex();
    if (address.empty()) {
        // Only records without an address match; FUnaddressed is in ascending order of position.
        return FUnaddressed.empty() ? nullptr
                                    : FDevices[static_cast<std::size_t>(FUnaddressed.front())].get();
    }
    const auto entry = FIndex.find(address);
    if (entry == FIndex.end())
        return nullptr;
    TBTDevice* device = FDevices[static_cast<std::size_t>(entry->second)].get();
    // A record whose address was changed after indexing breaks the index's premise: rebuild it.
    return device->Address == address ? device : Rebuilt(address);
}

void TDeviceList::ResetIndex() const {
    FIndex.clear();
    FUnaddressed.clear();
    FIndexed = 0;
}

TBTDevice* TDeviceList::Rebuilt(std::string_view address) const {
    ResetIndex();
    CatchUpIndex();
    const auto entry = FIndex.find(address);
    return entry == FIndex.end() ? nullptr : FDevices[static_cast<std::size_t>(entry->second)].get();
}

TBTDevice& TDeviceList::AddDevice() {
    FDevices.push_back(std::make_unique<TBTDevice>());
    return *FDevices.back();
}

TBTDevice& TDeviceList::AddDevice(std::string address) {
    TBTDevice& device = AddDevice();
    device.Address = std::move(address);
    return device;
}

void TDeviceList::Delete(int index) {
    FDevices.erase(FDevices.begin() + index);
    // Positions after the gap and the first-of-duplicates choice change: rebuild at the next look-up.
    ResetIndex();
}

void TDeviceList::Clear() {
    FDevices.clear();
    ResetIndex();
}

void TDeviceList::NotifyChanged() {
    if (FChangeCallback)
        FChangeCallback();
}

void TDeviceList::SetChangeCallback(std::function<void()> callback) {
    const TDeviceListLock guard(*this);
    FChangeCallback = std::move(callback);
}

} // namespace orvelle
