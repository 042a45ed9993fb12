// The SDP client's requests, the parsing of the server's responses and the splitting of the
// attribute lists into records. Every length the server states is checked against what it sent.
#include "bluetooth/bluez/SdpClient.h"

#include "bluetooth/bluez/ErrnoError.h"
#include "bluetooth/sdp/LastError.h"

namespace orvelle {

namespace {

constexpr std::uint8_t PduErrorResponse = 0x01;
constexpr std::uint8_t PduSearchAttributeRequest = 0x06;
constexpr std::uint8_t PduSearchAttributeResponse = 0x07;
constexpr std::size_t PduHeaderSize = 5;
constexpr std::size_t MaxContinuationSize = 16;

// Data element types whose body is a list of further elements.
constexpr unsigned ElementSequence = 6;

// The request's fixed parameters: the search pattern (a sequence holding the 16-bit UUID 0x0100) and
// the attribute ID list (a sequence holding the 32-bit range 0x0000-0xFFFF).
constexpr unsigned char SearchPattern[] = {0x35, 0x03, 0x19, 0x01, 0x00};
constexpr unsigned char AttributeRange[] = {0x35, 0x05, 0x0A, 0x00, 0x00, 0xFF, 0xFF};

void AppendBigEndian16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value & 0xFF));
}

std::uint32_t ReadBigEndian(std::string_view bytes, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// The place of one data element at the start of BYTES: its type, the size of its header and the size
// of header and body together. False when the header is cut short or the body runs past BYTES.
struct TElementExtent {
    unsigned Type = 0;
    std::size_t HeaderSize = 0;
    std::size_t Size = 0;
};

bool ReadElementExtent(std::string_view bytes, TElementExtent& extent) {
    if (bytes.empty())
        return false;
    const auto descriptor = static_cast<unsigned char>(bytes[0]);
    extent.Type = descriptor >> 3;
    const unsigned sizeIndex = descriptor & 0x07;
    std::size_t bodySize = 0;
    extent.HeaderSize = 1;
    if (sizeIndex < 5) {
        // The nil element is the one fixed-size element with no body.
        bodySize = extent.Type == 0 ? 0 : std::size_t{1} << sizeIndex;
    } else {
        const std::size_t lengthSize = std::size_t{1} << (sizeIndex - 5);
        if (bytes.size() < 1 + lengthSize)
            return false;
        bodySize = ReadBigEndian(bytes, 1, lengthSize);
        extent.HeaderSize += lengthSize;
    }
    if (bodySize > bytes.size() - extent.HeaderSize)
        return false;
    extent.Size = extent.HeaderSize + bodySize;
    return true;
}

} // namespace

std::string SearchAttributeRequest(std::uint16_t transaction, std::string_view continuation) {
    std::string parameters(reinterpret_cast<const char*>(SearchPattern), sizeof SearchPattern);
    AppendBigEndian16(parameters, SdpMaxAttributeBytes);
    parameters.append(reinterpret_cast<const char*>(AttributeRange), sizeof AttributeRange);
    parameters.push_back(static_cast<char>(continuation.size()));
    parameters.append(continuation);

    std::string pdu(1, static_cast<char>(PduSearchAttributeRequest));
    AppendBigEndian16(pdu, transaction);
    AppendBigEndian16(pdu, static_cast<std::uint16_t>(parameters.size()));
    return pdu + parameters;
}

bool ParseSearchAttributeResponse(std::string_view datagram, std::uint16_t transaction,
                                  TSdpFragment& fragment) {
    if (datagram.size() < PduHeaderSize)
        return FailWith(leInvalidData);
    const auto pduId = static_cast<unsigned char>(datagram[0]);
    const std::uint32_t parameterSize = ReadBigEndian(datagram, 3, 2);
    if (ReadBigEndian(datagram, 1, 2) != transaction || datagram.size() - PduHeaderSize != parameterSize)
        return FailWith(leInvalidData);
    const std::string_view parameters = datagram.substr(PduHeaderSize);

    if (pduId == PduErrorResponse)
        return FailWith(parameters.size() >= 2 ? leServiceSearchRefused : leInvalidData);
    if (pduId != PduSearchAttributeResponse || parameters.size() < 3)
        return FailWith(leInvalidData);

    const std::size_t listsSize = ReadBigEndian(parameters, 0, 2);
    if (listsSize > parameters.size() - 3)
        return FailWith(leInvalidData);
    const std::size_t continuationSize = static_cast<unsigned char>(parameters[2 + listsSize]);
    if (continuationSize > MaxContinuationSize || parameters.size() != 3 + listsSize + continuationSize)
        return FailWith(leInvalidData);

    fragment.AttributeLists.assign(parameters.substr(2, listsSize));
    fragment.Continuation.assign(parameters.substr(3 + listsSize, continuationSize));
    return true;
}

bool SplitServiceRecords(std::string_view attributeLists, std::vector<std::string>& records) {
    TElementExtent outer;
    if (!ReadElementExtent(attributeLists, outer) || outer.Type != ElementSequence || outer.HeaderSize == 1 ||
        outer.Size != attributeLists.size())
        return FailWith(leInvalidData);

    std::vector<std::string> split;
    std::string_view rest = attributeLists.substr(outer.HeaderSize);
    while (!rest.empty()) {
        TElementExtent record;
        if (!ReadElementExtent(rest, record) || record.Type != ElementSequence || record.HeaderSize == 1)
            return FailWith(leInvalidData);
        split.emplace_back(rest.substr(0, record.Size));
        rest.remove_prefix(record.Size);
    }
    records = std::move(split);
    return true;
}

bool FetchServiceRecords(TPacketTransport& transport, std::vector<std::string>& records,
                         std::uint16_t firstTransaction) {
    std::string attributeLists;
    std::string continuation;
    std::uint16_t transaction = firstTransaction;
    for (int request = 0; request < SdpMaxRequests; ++request, ++transaction) {
        std::string response;
        TSdpFragment fragment;
        if (!transport.Send(SearchAttributeRequest(transaction, continuation)) ||
            !transport.Receive(response) || !ParseSearchAttributeResponse(response, transaction, fragment))
            return false;
        if (attributeLists.size() + fragment.AttributeLists.size() > SdpMaxAttributeListsSize)
            return FailWith(leInvalidData);
        attributeLists += fragment.AttributeLists;
        if (fragment.Continuation.empty())
            return SplitServiceRecords(attributeLists, records);
        continuation = std::move(fragment.Continuation);
    }
    return FailWith(leInvalidData);
}

} // namespace orvelle
