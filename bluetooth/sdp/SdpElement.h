// Parser of the SDP data-element encoding (the attribute lists that service records are made of).
// It gives what the four element operations of the Bluetooth platform give, with the same type
// codes and results, and it is safe on any bytes: records come from any device in radio range.
#pragma once

#include "bluetooth/sdp/Uuid.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace orvelle {

// Type codes of a parsed element.
enum TSdpType : std::uint32_t {
    sdpNil = 0x00,
    sdpUInt = 0x01,
    sdpInt = 0x02,
    sdpUuid = 0x03,
    sdpString = 0x04,
    sdpBoolean = 0x05,
    sdpSequence = 0x06,
    sdpAlternative = 0x07,
    sdpUrl = 0x08,
    sdpContainer = 0x20,
};

// Specific-type codes: the width of an integer or UUID. The 32-bit UUID shares its number with
// the signed 32-bit integer; the type code tells them apart.
enum TSdpSpecificType : std::uint32_t {
    sstNone = 0x0000,
    sstUInt8 = 0x0010,
    sstUInt16 = 0x0110,
    sstUInt32 = 0x0210,
    sstUInt64 = 0x0310,
    sstUInt128 = 0x0410,
    sstInt8 = 0x0020,
    sstInt16 = 0x0120,
    sstInt32 = 0x0220,
    sstInt64 = 0x0320,
    sstInt128 = 0x0420,
    sstUuid16 = 0x0130,
    sstUuid32 = 0x0220,
    sstUuid128 = 0x0430,
};

// Nesting limit: an element holds at most this many levels of sequences and alternatives, itself
// included. Deeper elements are invalid data, which bounds every recursion over parsed elements.
inline constexpr int SdpMaxNesting = 32;

// One parsed element. Which value field is meaningful follows from Type and SpecificType; the
// others stay zero or empty. Byte views point into the parsed bytes and live as long as they do.
struct TSdpElement {
    std::uint32_t Type = sdpNil;
    std::uint32_t SpecificType = sstNone;
    // Unsigned integers up to 64 bits and 16/32-bit UUIDs; the low half of a 128-bit integer.
    std::uint64_t UInt = 0;
    // Signed integers up to 64 bits, sign-extended.
    std::int64_t Int = 0;
    // The high half of a 128-bit integer, as unsigned bits.
    std::uint64_t High = 0;
    // 128-bit UUIDs; 16/32-bit UUIDs are in UInt.
    TGuid Uuid;
    bool Boolean = false;
    // Strings and URLs: their bytes. Sequences and alternatives: their whole encoding, header
    // included, as SdpGetContainerElementData takes it.
    std::string_view Bytes;
};

// Walks the attributes of RECORD (one sequence of 16-bit attribute ids, each followed by its
// value) in record order, calling CALLBACK with each id and the encoding of its value; the walk
// stops early when CALLBACK returns false. The whole record is checked before the first call.
// Returns true when the record was walked; false with the last error set when it is invalid.
// Whatever CALLBACK throws passes through to the caller.
using TSdpAttributeCallback = std::function<bool(std::uint16_t attributeId, std::string_view value)>;
bool SdpEnumAttributes(std::string_view record, const TSdpAttributeCallback& callback);

// Parses the one element that BYTES hold (exactly, nothing after it) into ELEMENT.
// Returns 0, or sets the last error and returns it (leInvalidData for malformed bytes).
std::uint32_t SdpGetElementData(std::string_view bytes, TSdpElement& element);

// Where an iteration over a container stands; a fresh iterator starts at the first element.
struct TSdpIterator {
    std::size_t Offset = 0;
};

// Gives the next element of CONTAINER (the whole encoding of a sequence or alternative, as in
// TSdpElement::Bytes). Returns 0 with ELEMENT filled, leNoMoreItems (259) after the last element,
// or another code (leInvalidData), also set as the last error, when the container or its next
// element is malformed.
std::uint32_t SdpGetContainerElementData(std::string_view container, TSdpIterator& iterator,
                                         TSdpElement& element);

// Finds the first attribute ATTRIBUTEID of RECORD and parses its value into ELEMENT. Returns 0
// when found; leNotFound when the record lacks it; leInvalidData when the record is invalid.
// The last error is set on every non-zero result.
std::uint32_t SdpGetAttributeValue(std::string_view record, std::uint16_t attributeId, TSdpElement& element);

} // namespace orvelle
