// Shared helpers of the core: time texts, the program's directory and the clock that every time
// stamp is read from. The platform layer's last error and its text come with LastError.h.
#pragma once

#include "bluetooth/sdp/LastError.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvelle {

// TIME (seconds since 1970) as "%D at %T" of the local time, for example "09/06/05 at 16:28:46";
// 0 gives the empty text.
std::string TimeText(std::int32_t time);

// The directory of the running program file, ending with '/'.
std::string ProgramDirectory();

// The current time in seconds since 1970, from the system clock or from the clock a test installed.
std::int32_t Now();

// Installs CLOCK as the source of Now(); an empty function restores the system clock. Safe to call
// while other threads read the clock.
void SetClock(std::function<std::int32_t()> clock);

} // namespace orvelle
