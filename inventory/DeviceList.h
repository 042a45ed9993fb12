// The locked, ordered list of device records (TDeviceList) and the guard (TDeviceListLock) through
// which every caller holds its lock.
#pragma once

#include "inventory/BTDevice.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvelle {

// Records in order of addition. Every operation except LockList, UnlockList and SetChangeCallback
// requires the caller to hold the lock, which the same thread may take again while holding it.
// FindDevice answers through an index from address to position; the index learns a record's address
// when the record is added with one, or at the next FindDevice for a record whose Address was
// assigned after AddDevice().
class TDeviceList {
public:
    TDeviceList() = default;
    TDeviceList(const TDeviceList&) = delete;
    TDeviceList& operator=(const TDeviceList&) = delete;

    // Traced at level 210: the line is written before the lock is taken and after it is released.
    void LockList();
    void UnlockList();

    // The first record whose Address equals ADDRESS byte for byte, or none. The index is a cache
    // that look-ups bring up to date, which the held lock makes safe in the const form too.
    TBTDevice* FindDevice(std::string_view address);
    const TBTDevice* FindDevice(std::string_view address) const;

    // Appends a record with its construction values (and the given address) and returns it.
    TBTDevice& AddDevice();
    TBTDevice& AddDevice(std::string address);

    int Count() const { return static_cast<int>(FDevices.size()); }
    TBTDevice& GetDevice(int index) { return *FDevices[static_cast<std::size_t>(index)]; }
    const TBTDevice& GetDevice(int index) const { return *FDevices[static_cast<std::size_t>(index)]; }

    // Destroys the record at INDEX; later records move up by one.
    void Delete(int index);
    void Clear();

    // Tells the window that record contents changed, through the installed callback; it must not wait
    // for the window, since the caller holds the lock.
    void NotifyChanged();
    void SetChangeCallback(std::function<void()> callback);

private:
    // Looks addresses up without making a string of them.
    struct TAddressHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view address) const {
            return std::hash<std::string_view>{}(address);
        }
    };

    void CatchUpIndex() const;
    void ResetIndex() const;
    TBTDevice* Rebuilt(std::string_view address) const;

    std::recursive_mutex FLock;
    std::vector<std::unique_ptr<TBTDevice>> FDevices;
    std::function<void()> FChangeCallback;

    // Address -> position of the first record with that address, for the records below FIndexed
    // except those in FUnaddressed (indexed while their Address was still empty).
    mutable std::unordered_map<std::string, int, TAddressHash, std::equal_to<>> FIndex;
    mutable std::vector<int> FUnaddressed;
    mutable int FIndexed = 0;
};

// Holds the list's lock for its lifetime: the only way callers take the lock.
class TDeviceListLock {
public:
    explicit TDeviceListLock(TDeviceList& list) : FList(list) { FList.LockList(); }
    ~TDeviceListLock() { FList.UnlockList(); }
    TDeviceListLock(const TDeviceListLock&) = delete;
    TDeviceListLock& operator=(const TDeviceListLock&) = delete;

private:
    TDeviceList& FList;
};

} // namespace orvelle
