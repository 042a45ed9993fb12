// One discovered device (TBTDevice), its device type (TDeviceType) and the rule that derives the type
// from the class of device.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

// The values and their order are also the stored form in session files and the picture index of the
// device list view.
enum TDeviceType {
    dtOther,
    dtWorkstation,
    dtLaptop,
    dtPDA,
    dtMonitor,
    dtLANAccess,
    dtPhone,
    dtAudio,
    dtPeripheral,
    dtScanner,
    dtCamera,
    dtPrinter,
    dtModem,
    dtSerial
};

// The device type of a major and minor class of the class-of-device word.
TDeviceType DeviceTypeOf(std::int32_t major, std::int32_t minor);

// "dtOther", "dtPhone", ...: the name as session files store it.
const char* DeviceTypeName(TDeviceType type);

// The type whose name is NAME, letter case ignored; none for a name that is no type.
std::optional<TDeviceType> DeviceTypeByName(std::string_view name);

// A device's raw SDP records, one byte text per record. Reading works like a vector; every change
// (clear, append, assignment) advances Generation(), so that the services cache notices any
// replacement of the records, even one that keeps their number.
class TRawRecordList {
public:
    using value_type = std::string;
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;

    TRawRecordList() = default;
    TRawRecordList(std::initializer_list<std::string> records) : FRecords(records) {}
    TRawRecordList& operator=(std::vector<std::string> records);
    TRawRecordList& operator=(std::initializer_list<std::string> records);

    void clear();
    void push_back(std::string record);
    void emplace_back(std::string record) { push_back(std::move(record)); }

    std::size_t size() const { return FRecords.size(); }
    bool empty() const { return FRecords.empty(); }
    const std::string& operator[](std::size_t index) const { return FRecords[index]; }
    const_iterator begin() const { return FRecords.begin(); }
    const_iterator end() const { return FRecords.end(); }
    const std::vector<std::string>& Items() const { return FRecords; }
    std::uint64_t Generation() const { return FGeneration; }

    bool operator==(const TRawRecordList& other) const { return FRecords == other.FRecords; }
    bool operator==(const std::vector<std::string>& other) const { return FRecords == other; }

private:
    std::vector<std::string> FRecords;
    std::uint64_t FGeneration = 0;
};

// One device record. Every access, reading included, happens while the owning device list's lock is
// held (TDeviceListLock). Address is set once, right after the record is added to the list, and
// never changed afterwards: the list's address index relies on it.
class TBTDevice {
public:
    // The construction values; FirstSeen takes the current clock (Now()).
    TBTDevice();

    std::string Name{"Unknown"};
    std::string Address;
    TDeviceType Type = dtOther;
    std::int32_t FirstSeen;
    std::int32_t LastSeen = 0;
    std::int32_t SeenCount = 0;
    std::int32_t Flags = 0;
    std::string RawSDPStream;
    TRawRecordList RawSDPRecords;
    std::string Location;

    std::int32_t MajorClass() const { return FMajorClass; }
    std::int32_t MinorClass() const { return FMinorClass; }
    // A new major class resets the minor class to 0; both setters recompute Type, and do nothing when
    // the value is unchanged.
    void SetMajorClass(std::int32_t value);
    void SetMinorClass(std::int32_t value);

    // Seen within the last 300 seconds of the clock.
    bool IsActive() const;

    // The name of each service record (attribute 0x0100, "Unknown" without one), built once and kept
    // until RawSDPRecords is changed. At the first call a record that holds only RawSDPStream gets
    // that stream as its first item of RawSDPRecords. The list belongs to the record.
    const std::vector<std::string>& AdvertisedServices();

    // The text of all service records for display, or "No SDP information available.". Raises
    // EOrvelleError with the rendering's message when a record cannot be enumerated.
    std::string SDPText() const;

private:
    std::int32_t FMajorClass = 0;
    std::int32_t FMinorClass = 0;
    std::vector<std::string> FServices;
    // Number of records the cache was built for (-1: never built) and the records' generation then.
    std::int32_t FServicesCount = -1;
    std::uint64_t FServicesGeneration = 0;
};

// Seconds after LastSeen during which a device counts as active, and after which the inquiry queries
// a returning device's services again.
inline constexpr std::int32_t ActiveSeconds = 300;

} // namespace orvelle
