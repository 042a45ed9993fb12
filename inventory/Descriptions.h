// Texts derived from a device's numbers: the class-of-device text, the manufacturer name of a radio
// and the flags text of a device.
#pragma once

#include "inventory/BTDevice.h"

#include <cstdint>
#include <string>

namespace orvelle {

// "Cellular Phone", "Keyboard", ...; every pair has a text.
std::string ClassOfDeviceText(std::uint32_t major, std::uint32_t minor);

// The name of a Bluetooth manufacturer identifier, or "Unknown".
std::string ManufacturerName(std::int32_t manufacturer);

// "Paired", "Personal", "Connected" and "SDP" as they apply, joined by ", ". The caller holds the
// device list's lock.
std::string FlagsText(const TBTDevice& device);

} // namespace orvelle
