// The platform layer's last error for a failed system call of the Bluetooth stack.
#pragma once

#include <cstdint>

namespace orvelle {

// The last-error number that tells an operator what ERROR_NUMBER (an errno value) means for Bluetooth.
std::uint32_t LastErrorOfErrno(int errorNumber);

// Set the last error (CODE, or the one for ERROR_NUMBER) and return false, for the failure paths of
// the backend.
bool FailWith(std::uint32_t code);
bool FailWithErrno(int errorNumber);

} // namespace orvelle
