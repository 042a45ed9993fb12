// The SDP client: fetches the raw service records of one device with ServiceSearchAttributeRequest
// PDUs over a packet transport, following the continuation state to the end.
#pragma once

#include "bluetooth/bluez/PacketTransport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

// The attribute byte count asked for in each request: what fits one response into the default L2CAP
// MTU of 672 bytes with the PDU header, the byte count and the longest continuation state.
inline constexpr std::uint16_t SdpMaxAttributeBytes = 672 - 5 - 2 - 17;

// A server that never ends the continuation, or sends more than a device plausibly holds, is cut off
// after these bounds: the search fails instead of running or growing without end.
inline constexpr int SdpMaxRequests = 512;
inline constexpr std::size_t SdpMaxAttributeListsSize = 1024 * 1024;

// One response of the search: its piece of the attribute lists and the continuation state to send back
// (empty once the server has sent everything).
struct TSdpFragment {
    std::string AttributeLists;
    std::string Continuation;
};

// The request for every attribute (0x0000-0xFFFF) of every record that uses L2CAP (UUID 0x0100).
std::string SearchAttributeRequest(std::uint16_t transaction, std::string_view continuation);

// Parses DATAGRAM as the answer to request TRANSACTION. False with the last error set:
// leServiceSearchRefused for the server's error response, leInvalidData for anything malformed.
bool ParseSearchAttributeResponse(std::string_view datagram, std::uint16_t transaction,
                                  TSdpFragment& fragment);

// Splits the complete attribute lists, one data element sequence of records, into the bytes of each
// record exactly as sent. False with leInvalidData when the lengths do not add up.
bool SplitServiceRecords(std::string_view attributeLists, std::vector<std::string>& records);

// Runs the whole search over TRANSPORT and stores the records, in the server's order, in RECORDS. An
// empty sequence gives no record and success. False with the last error set on any failure.
bool FetchServiceRecords(TPacketTransport& transport, std::vector<std::string>& records,
                         std::uint16_t firstTransaction = 1);

} // namespace orvelle
