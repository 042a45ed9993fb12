// The platform layer over the Linux Bluetooth stack: inquiry and radios through the BlueZ daemon on the
// system D-Bus, service records through our own SDP client over L2CAP.
#pragma once

#include "bluetooth/Platform.h"

#include <chrono>
#include <memory>

namespace orvelle {

struct TBlueZSettings {
    // One classic inquiry lasts 10.24 s and names arrive after it: a pass listens a little longer.
    std::chrono::milliseconds InquiryWindow{12000};
    // Paging a device takes up to 5.12 s by default; a device's SDP server answers within seconds.
    int SdpConnectTimeoutMs = 10000;
    int SdpReceiveTimeoutMs = 10000;
};

// The backend the program uses when it is not told to simulate. Each call opens what it needs afresh
// (bus connection, socket), so a daemon restarted or an adapter replugged between passes needs no
// restart of the program.
std::unique_ptr<TBluetoothPlatform> CreateBlueZPlatform(const TBlueZSettings& settings = {});

} // namespace orvelle
