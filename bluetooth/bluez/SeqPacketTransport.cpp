// Datagram send and receive with a time-out over a SOCK_SEQPACKET socket, and the L2CAP connect to a
// device's SDP server.
#include "bluetooth/bluez/SeqPacketTransport.h"

#include "bluetooth/bluez/ErrnoError.h"
#include "bluetooth/sdp/LastError.h"

#include <endian.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace orvelle {

namespace {

// Large enough for the longest SDP PDU (5 header bytes and 65535 parameter bytes) and one byte more,
// so that a longer datagram arrives cut and fails the length checks instead of passing as shorter.
constexpr std::size_t ReceiveBufferSize = 5 + 65535 + 1;

// Waits until SOCKET is ready for EVENTS. False with the last error set on a time-out or failure.
bool WaitFor(int socket, short events, int timeoutMs) {
    pollfd entry{socket, events, 0};
    for (;;) {
        const int ready = poll(&entry, 1, timeoutMs);
        if (ready > 0)
            return true;
        if (ready == 0)
            return FailWithErrno(ETIMEDOUT);
        if (errno != EINTR)
            return FailWithErrno(errno);
    }
}

} // namespace

TSeqPacketTransport::TSeqPacketTransport(int socket, int receiveTimeoutMs)
    : FSocket(socket), FReceiveTimeoutMs(receiveTimeoutMs) {}

TSeqPacketTransport::~TSeqPacketTransport() {
    close(FSocket);
}

bool TSeqPacketTransport::Send(std::string_view packet) {
    const ssize_t sent = send(FSocket, packet.data(), packet.size(), MSG_NOSIGNAL);
    if (sent < 0)
        return FailWithErrno(errno);
    return static_cast<std::size_t>(sent) == packet.size() || FailWithErrno(EMSGSIZE);
}

bool TSeqPacketTransport::Receive(std::string& packet) {
    if (!WaitFor(FSocket, POLLIN, FReceiveTimeoutMs))
        return false;
    packet.resize(ReceiveBufferSize);
    const ssize_t received = recv(FSocket, packet.data(), packet.size(), MSG_DONTWAIT);
    if (received < 0)
        return FailWithErrno(errno);
    // A zero-length read on a connected sequenced-packet socket is the peer's hang-up.
    if (received == 0)
        return FailWithErrno(ECONNRESET);
    packet.resize(static_cast<std::size_t>(received));
    return true;
}

std::unique_ptr<TSeqPacketTransport> ConnectSdpServer(const kernel::TBdAddr& address, int connectTimeoutMs,
                                                      int receiveTimeoutMs) {
    const int socket =
        ::socket(AF_BLUETOOTH, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, kernel::BluetoothProtocolL2cap);
    if (socket < 0) {
        FailWithErrno(errno);
        return nullptr;
    }
    auto transport = std::make_unique<TSeqPacketTransport>(socket, receiveTimeoutMs);

    kernel::TSockAddrL2 target{};
    target.Family = AF_BLUETOOTH;
    target.Psm = htole16(kernel::SdpPsm);
    target.Address = address;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0)
        return transport;
    if (errno != EINPROGRESS) {
        FailWithErrno(errno);
        return nullptr;
    }
    if (!WaitFor(socket, POLLOUT, connectTimeoutMs))
        return nullptr;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) < 0)
        error = errno;
    if (error != 0) {
        FailWithErrno(error);
        return nullptr;
    }
    return transport;
}

} // namespace orvelle
