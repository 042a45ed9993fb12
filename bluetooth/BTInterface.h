// The program's use of the Bluetooth platform: one inquiry pass, the address text of a device, and the
// service query that stores a device's raw SDP records. All run on the discovery thread.
#pragma once

#include "bluetooth/Platform.h"

#include <cstddef>
#include <string>

namespace orvelle {

// The result buffers offered to the platform's next calls; a larger result fails the call.
inline constexpr std::size_t InquiryBufferLength = 1000;
inline constexpr std::size_t ServiceBufferLength = 2000;

// One inquiry pass over the devices in range: records each device in the session's device list,
// announces new ones through the discovery host, and queries the services of a device that is new
// or was last seen more than ActiveSeconds ago. Returns true whenever the pass ends without failure
// (no device in range and a termination request included); failures are raised as EOrvelleError.
bool BTPerformDiscovery();

// The address text of a device's socket address of LENGTH bytes; raises EOrvelleError on failure.
std::string BTAddressToString(const TSocketAddress& address, int length);

// Replaces the raw SDP records of the device with address text ADDRESS by the records it advertises
// now. A device that advertises nothing keeps its records. Raises EOrvelleError on failure.
void QuerySDP(const std::string& address);

} // namespace orvelle
