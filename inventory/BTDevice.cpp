// The device record, its class setters and the device type rule.
#include "inventory/BTDevice.h"

#include "inventory/Utils.h"

#include <algorithm>
#include <array>
#include <strings.h>

namespace orvelle {

namespace {

constexpr std::array<const char*, 14> TypeNames{
    "dtOther", "dtWorkstation", "dtLaptop",  "dtPDA",    "dtMonitor", "dtLANAccess", "dtPhone",
    "dtAudio", "dtPeripheral",  "dtScanner", "dtCamera", "dtPrinter", "dtModem",     "dtSerial"};

TDeviceType ComputerType(std::int32_t minor) {
    if (minor == 3)
        return dtLaptop;
    return minor >= 4 && minor <= 6 ? dtPDA : dtWorkstation;
}

TDeviceType AudioType(std::int32_t minor) {
    if (minor == 12 || minor == 13)
        return dtCamera;
    return minor == 14 || minor == 16 ? dtMonitor : dtAudio;
}

// Imaging minor classes are compared whole: two bits together fall to the camera.
TDeviceType ImagingType(std::int32_t minor) {
    switch (minor) {
    case 4:
        return dtMonitor;
    case 16:
        return dtScanner;
    case 32:
        return dtPrinter;
    default:
        return dtCamera;
    }
}

} // namespace

TDeviceType DeviceTypeOf(std::int32_t major, std::int32_t minor) {
    switch (major) {
    case 1:
        return ComputerType(minor);
    case 2:
        return dtPhone;
    case 3:
        return dtLANAccess;
    case 4:
        return AudioType(minor);
    case 5:
        return dtPeripheral;
    case 6:
        return ImagingType(minor);
    default:
        return dtOther;
    }
}

const char* DeviceTypeName(TDeviceType type) {
    const auto index = static_cast<std::size_t>(type);
    return index < TypeNames.size() ? TypeNames[index] : TypeNames[0];
}

std::optional<TDeviceType> DeviceTypeByName(std::string_view name) {
    for (std::size_t i = 0; i < TypeNames.size(); ++i) {
        const std::string_view candidate = TypeNames[i];
        if (candidate.size() == name.size() && strncasecmp(candidate.data(), name.data(), name.size()) == 0)
            return static_cast<TDeviceType>(i);
    }
    return std::nullopt;
}

TRawRecordList& TRawRecordList::operator=(std::vector<std::string> records) {
    FRecords = std::move(records);
    ++FGeneration;
    return *this;
}

TRawRecordList& TRawRecordList::operator=(std::initializer_list<std::string> records) {
    return *this = std::vector<std::string>(records);
}

void TRawRecordList::clear() {
    FRecords.clear();
    ++FGeneration;
}

void TRawRecordList::push_back(std::string record) {
    FRecords.push_back(std::move(record));
    ++FGeneration;
}

TBTDevice::TBTDevice() : FirstSeen(Now()) {}

void TBTDevice::SetMajorClass(std::int32_t value) {
    if (value == FMajorClass)
        return;
    FMajorClass = value;
    FMinorClass = 0;
    Type = DeviceTypeOf(FMajorClass, FMinorClass);
}

void TBTDevice::SetMinorClass(std::int32_t value) {
    if (value == FMinorClass)
        return;
    FMinorClass = value;
    Type = DeviceTypeOf(FMajorClass, FMinorClass);
}

bool TBTDevice::IsActive() const {
    // Widened so that a LastSeen near the end of the 32-bit range cannot overflow.
    return LastSeen != 0 &&
           static_cast<std::int64_t>(Now()) <= static_cast<std::int64_t>(LastSeen) + ActiveSeconds;
}

} // namespace orvelle
