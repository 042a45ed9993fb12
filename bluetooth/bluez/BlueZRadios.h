// The local radios as the BlueZ daemon and the kernel report them, read once per radio search.
#pragma once

#include "bluetooth/Platform.h"

#include <vector>

namespace orvelle {

struct TRadioSnapshot {
    TRadioInformation Information;
    bool Discoverable = false;
    bool Connectable = false;
};

// The maker id shown when the kernel cannot be asked: no maker holds it, so its name is "Unknown".
inline constexpr std::uint16_t UnknownManufacturer = 0xFFFE;

// Reads every adapter of the daemon, in the order of their object paths: address, name (its alias, the
// name other devices see), class and discoverable state from the daemon; maker, LMP subversion and page
// scan from the kernel's HCI socket when it can be had, else UnknownManufacturer, 0 and the adapter's
// powered state. False with the last error set when the daemon cannot be asked.
bool ReadRadios(std::vector<TRadioSnapshot>& radios);

} // namespace orvelle
