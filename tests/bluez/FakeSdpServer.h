// A scripted SDP server on one end of a socket pair: each step reads one request and answers it
// as the test wishes (or not at all), so the client runs over a real datagram socket.
#pragma once

#include "bluetooth/bluez/SeqPacketTransport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvelle::test {

// One step of the script: the answer to REQUEST, or no value to keep silent and hang up.
using TSdpStep = std::function<std::optional<std::string>(const std::string& request)>;

class TFakeSdpServer {
public:
    // Starts the server thread on a new socket pair; Client() is the other end.
    TFakeSdpServer(std::vector<TSdpStep> script, int receiveTimeoutMs = 2000);
    ~TFakeSdpServer();

    TSeqPacketTransport& Client() { return *FClient; }

    // Closes the client's end, joins the server thread and returns the requests it received, in order.
    const std::vector<std::string>& Requests();

private:
    std::unique_ptr<TSeqPacketTransport> FClient;
    int FServer = -1;
    std::vector<TSdpStep> FScript;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

// Bytes from text of hexadecimal digit pairs; blanks are ignored.
std::string Bytes(std::string_view hex);

// The transaction id of a request or response.
std::uint16_t TransactionOf(const std::string& pdu);

// A well-formed ServiceSearchAttributeResponse with the given transaction, piece of the attribute
// lists and continuation state.
std::string Response(std::uint16_t transaction, const std::string& lists, const std::string& continuation);

// A step that answers with a well-formed response to whatever the request's transaction is.
TSdpStep Answer(std::string lists, std::string continuation = {});

// A step that answers with fixed bytes.
TSdpStep Raw(std::string datagram);

} // namespace orvelle::test
