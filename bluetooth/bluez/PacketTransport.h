// The datagram channel that the SDP client talks over: an L2CAP socket to a device in the program,
// a socket pair to a scripted server in the tests.
#pragma once

#include <string>
#include <string_view>

namespace orvelle {

class TPacketTransport {
public:
    virtual ~TPacketTransport() = default;

    // Sends PACKET as one datagram. False, with the thread's last error set, when it cannot.
    virtual bool Send(std::string_view packet) = 0;

    // Waits for the next datagram and stores it whole in PACKET. False, with the thread's last error
    // set, on a failure, a time-out or a closed channel.
    virtual bool Receive(std::string& packet) = 0;
};

} // namespace orvelle
