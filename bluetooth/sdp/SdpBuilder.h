// A small encoder of SDP data elements and service records, for tests, seed records and the
// simulated radio's scenarios:
//   TSdpRecord{{0x0001, TSdpData::Sequence({TSdpData::Uuid16(0x1105)})},
//              {0x0100, TSdpData::Text("OBEX Object Push")}}.Bytes()
#pragma once

#include "bluetooth/sdp/Uuid.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace orvelle {

// One encoded element. Strings, URLs, sequences and alternatives take the shortest length field
// that holds their length.
class TSdpData {
public:
    static TSdpData Nil();
    static TSdpData UInt8(std::uint8_t value);
    static TSdpData UInt16(std::uint16_t value);
    static TSdpData UInt32(std::uint32_t value);
    static TSdpData UInt64(std::uint64_t value);
    static TSdpData UInt128(std::uint64_t high, std::uint64_t low);
    static TSdpData Int8(std::int8_t value);
    static TSdpData Int16(std::int16_t value);
    static TSdpData Int32(std::int32_t value);
    static TSdpData Int64(std::int64_t value);
    static TSdpData Int128(std::uint64_t high, std::uint64_t low);
    static TSdpData Uuid16(std::uint16_t value);
    static TSdpData Uuid32(std::uint32_t value);
    static TSdpData Uuid128(const TGuid& value);
    static TSdpData Text(std::string_view bytes);
    static TSdpData Url(std::string_view bytes);
    static TSdpData Bool(bool value);
    static TSdpData Sequence(std::initializer_list<TSdpData> elements);
    static TSdpData Alternative(std::initializer_list<TSdpData> elements);
    // Bytes put in unchanged: for elements the factories above do not make, malformed ones included.
    static TSdpData Raw(std::string_view encoding);

    const std::string& Encoding() const { return FEncoding; }

private:
    explicit TSdpData(std::string encoding) : FEncoding(std::move(encoding)) {}
    static TSdpData Fixed(int type, int sizeIndex, std::uint64_t high, std::uint64_t low);
    static TSdpData Variable(int type, std::string_view contents);
    static TSdpData Container(int type, std::initializer_list<TSdpData> elements);

    std::string FEncoding;
};

// A service record: its attributes in the order given, each a 16-bit id and its value.
class TSdpRecord {
public:
    TSdpRecord() = default;
    TSdpRecord(std::initializer_list<std::pair<std::uint16_t, TSdpData>> attributes);

    TSdpRecord& Add(std::uint16_t attributeId, const TSdpData& value);
    // The record's raw bytes: one sequence of the ids and values.
    std::string Bytes() const;

private:
    std::string FAttributes;
};

} // namespace orvelle
