// One inquiry pass through the BlueZ daemon: classic discovery on the first powered adapter for a time
// window, and the devices seen during it.
#pragma once

#include "bluetooth/Platform.h"

#include <chrono>
#include <functional>
#include <vector>

namespace orvelle {

// Runs discovery for WINDOW (or until STOP returns true, polled every few tenths of a second) and
// stores, in the order first seen, each device that was added or whose signal strength changed in that
// time. Names are the devices' own (not the daemon's alias), converted to the code page. False with
// the last error set when the daemon, an adapter or the bus fails.
bool RunInquiry(std::chrono::milliseconds window, const std::function<bool()>& stop,
                std::vector<TInquiryResult>& seen);

} // namespace orvelle
