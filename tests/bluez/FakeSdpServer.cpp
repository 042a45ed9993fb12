// The scripted SDP server of the client tests and its PDU helpers.
#include "FakeSdpServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace orvelle::test {

TFakeSdpServer::TFakeSdpServer(std::vector<TSdpStep> script, int receiveTimeoutMs)
    : FScript(std::move(script)) {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0)
        throw std::runtime_error("socketpair failed");
    FClient = std::make_unique<TSeqPacketTransport>(pair[0], receiveTimeoutMs);
    FServer = pair[1];
    FThread = std::thread([this] {
        for (const auto& step : FScript) {
            std::string request(70000, '\0');
            const ssize_t size = recv(FServer, request.data(), request.size(), 0);
            if (size <= 0)
                break;
            request.resize(static_cast<std::size_t>(size));
            FRequests.push_back(request);
            const auto answer = step(request);
            if (!answer)
                break;
            send(FServer, answer->data(), answer->size(), MSG_NOSIGNAL);
        }
        shutdown(FServer, SHUT_RDWR);
    });
}

TFakeSdpServer::~TFakeSdpServer() {
    Requests();
    close(FServer);
}

const std::vector<std::string>& TFakeSdpServer::Requests() {
    // The server may still wait for a request the client gave up sending: closing the client's end
    // wakes it.
    FClient.reset();
    if (FThread.joinable())
        FThread.join();
    return FRequests;
}

std::string Bytes(std::string_view hex) {
    std::string bytes;
    std::string digits;
    for (const char c : hex) {
        if (c == ' ')
            continue;
        digits.push_back(c);
        if (digits.size() == 2) {
            bytes.push_back(static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        }
    }
    return bytes;
}

std::uint16_t TransactionOf(const std::string& pdu) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(pdu.at(1)) << 8) |
                                      static_cast<unsigned char>(pdu.at(2)));
}

std::string Response(std::uint16_t transaction, const std::string& lists, const std::string& continuation) {
    const std::size_t parameters = 2 + lists.size() + 1 + continuation.size();
    std::string pdu{char{0x07},
                    static_cast<char>(transaction >> 8),
                    static_cast<char>(transaction & 0xFF),
                    static_cast<char>(parameters >> 8),
                    static_cast<char>(parameters & 0xFF),
                    static_cast<char>(lists.size() >> 8),
                    static_cast<char>(lists.size() & 0xFF)};
    return pdu + lists + static_cast<char>(continuation.size()) + continuation;
}

TSdpStep Answer(std::string lists, std::string continuation) {
    return [lists = std::move(lists), continuation = std::move(continuation)](const std::string& request) {
        return std::optional<std::string>(Response(TransactionOf(request), lists, continuation));
    };
}

TSdpStep Raw(std::string datagram) {
    return
        [datagram = std::move(datagram)](const std::string&) { return std::optional<std::string>(datagram); };
}

} // namespace orvelle::test
