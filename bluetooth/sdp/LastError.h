// The calling thread's last error of the Bluetooth platform layer and its text. Every part of the
// layer (SDP parser, simulated radio, BlueZ backend) reports failures here, and callers turn the
// number into the text that ends their messages.
#pragma once

#include <cstdint>
#include <string>

namespace orvelle {

// Error numbers the layer sets. They keep the values of the platform this program grew up on, so
// that the texts and the lookups' "nothing found" and "no more" outcomes stay recognisable.
enum TLastErrorCode : std::uint32_t {
    leSuccess = 0,
    leAccessDenied = 5,
    leNotEnoughMemory = 8,
    leInvalidData = 13,
    leInvalidParameter = 87,
    leInsufficientBuffer = 122,
    leNoMoreItems = 259,
    leNotFound = 1168,
    leNetworkDown = 10050,
    leTimedOut = 10060,
    leConnectionRefused = 10061,
    leHostDown = 10064,
    leServiceNotFound = 10108,
    leNoMoreResults = 10110,
    // Conditions of the Linux Bluetooth stack that an operator can mend. They carry the platform's
    // customer bit (bit 29) so that they never collide with its own numbers.
    leBluetoothServiceMissing = 0x20000001,
    leNoAdapter = 0x20000002,
    leAdapterPoweredOff = 0x20000003,
    lePermissionDenied = 0x20000004,
    leNoBluetoothSockets = 0x20000005,
    leServiceSearchRefused = 0x20000006,
    leBluetoothFailure = 0x20000007,
};

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

// The text of the calling thread's last error, ending with CR LF as the system's texts do; the
// number in unsigned decimal when the layer has no text for it.
std::string GetLastErrorText();

// The text of one error number, by the same rule.
std::string LastErrorText(std::uint32_t code);

} // namespace orvelle
