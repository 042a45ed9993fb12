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
    leServiceNotFound = 10108,
    leNoMoreResults = 10110,
};

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

// The text of the calling thread's last error, ending with CR LF as the system's texts do; the
// number in unsigned decimal when the layer has no text for it.
std::string GetLastErrorText();

// The text of one error number, by the same rule.
std::string LastErrorText(std::uint32_t code);

} // namespace orvelle
