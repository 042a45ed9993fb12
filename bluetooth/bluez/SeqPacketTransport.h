// The packet transport over a connected SOCK_SEQPACKET socket: an L2CAP channel to a device's SDP
// server in the program, one end of a socket pair in the tests.
#pragma once

#include "bluetooth/bluez/KernelBluetooth.h"
#include "bluetooth/bluez/PacketTransport.h"

#include <memory>

namespace orvelle {

class TSeqPacketTransport final : public TPacketTransport {
public:
    // Takes over SOCKET (closed by the destructor); a receive that waits longer than
    // RECEIVE_TIMEOUT_MS fails with leTimedOut.
    TSeqPacketTransport(int socket, int receiveTimeoutMs);
    ~TSeqPacketTransport() override;
    TSeqPacketTransport(const TSeqPacketTransport&) = delete;
    TSeqPacketTransport& operator=(const TSeqPacketTransport&) = delete;

    bool Send(std::string_view packet) override;
    bool Receive(std::string& packet) override;

private:
    int FSocket;
    int FReceiveTimeoutMs;
};

// Opens an L2CAP channel to the SDP server (PSM 1) of the device at ADDRESS. Null, with the last error
// set, when the connection is not made within CONNECT_TIMEOUT_MS.
std::unique_ptr<TSeqPacketTransport> ConnectSdpServer(const kernel::TBdAddr& address, int connectTimeoutMs,
                                                      int receiveTimeoutMs);

} // namespace orvelle
