// Encoding of SDP data elements and service records.
#include "bluetooth/sdp/SdpBuilder.h"

#include "bluetooth/sdp/SdpElement.h"

namespace orvelle {

namespace {

void AppendBigEndian(std::string& bytes, std::uint64_t value, int count) {
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
}

char Header(int type, int sizeIndex) {
    return static_cast<char>((type << 3) | sizeIndex);
}

} // namespace

TSdpData TSdpData::Fixed(int type, int sizeIndex, std::uint64_t high, std::uint64_t low) {
    std::string bytes(1, Header(type, sizeIndex));
    const int length = 1 << sizeIndex;
    if (length > 8)
        AppendBigEndian(bytes, high, length - 8);
    AppendBigEndian(bytes, low, length > 8 ? 8 : length);
    return TSdpData(std::move(bytes));
}

TSdpData TSdpData::Variable(int type, std::string_view contents) {
    std::string bytes;
    if (contents.size() <= 0xFF) {
        bytes += Header(type, 5);
        AppendBigEndian(bytes, contents.size(), 1);
    } else if (contents.size() <= 0xFFFF) {
        bytes += Header(type, 6);
        AppendBigEndian(bytes, contents.size(), 2);
    } else {
        bytes += Header(type, 7);
        AppendBigEndian(bytes, contents.size(), 4);
    }
    bytes += contents;
    return TSdpData(std::move(bytes));
}

TSdpData TSdpData::Container(int type, std::initializer_list<TSdpData> elements) {
    std::string contents;
    for (const TSdpData& element : elements)
        contents += element.FEncoding;
    return Variable(type, contents);
}

TSdpData TSdpData::Nil() {
    return TSdpData(std::string(1, Header(sdpNil, 0)));
}

TSdpData TSdpData::UInt8(std::uint8_t value) {
    return Fixed(sdpUInt, 0, 0, value);
}

TSdpData TSdpData::UInt16(std::uint16_t value) {
    return Fixed(sdpUInt, 1, 0, value);
}

TSdpData TSdpData::UInt32(std::uint32_t value) {
    return Fixed(sdpUInt, 2, 0, value);
}

TSdpData TSdpData::UInt64(std::uint64_t value) {
    return Fixed(sdpUInt, 3, 0, value);
}

TSdpData TSdpData::UInt128(std::uint64_t high, std::uint64_t low) {
    return Fixed(sdpUInt, 4, high, low);
}

// Signed values are written as their two's complement bits; Fixed keeps the low bytes.
TSdpData TSdpData::Int8(std::int8_t value) {
    return Fixed(sdpInt, 0, 0, static_cast<std::uint64_t>(value));
}

TSdpData TSdpData::Int16(std::int16_t value) {
    return Fixed(sdpInt, 1, 0, static_cast<std::uint64_t>(value));
}

TSdpData TSdpData::Int32(std::int32_t value) {
    return Fixed(sdpInt, 2, 0, static_cast<std::uint64_t>(value));
}

TSdpData TSdpData::Int64(std::int64_t value) {
    return Fixed(sdpInt, 3, 0, static_cast<std::uint64_t>(value));
}

TSdpData TSdpData::Int128(std::uint64_t high, std::uint64_t low) {
    return Fixed(sdpInt, 4, high, low);
}

TSdpData TSdpData::Uuid16(std::uint16_t value) {
    return Fixed(sdpUuid, 1, 0, value);
}

TSdpData TSdpData::Uuid32(std::uint32_t value) {
    return Fixed(sdpUuid, 2, 0, value);
}

TSdpData TSdpData::Uuid128(const TGuid& value) {
    std::string bytes(1, Header(sdpUuid, 4));
    AppendBigEndian(bytes, value.Data1, 4);
    AppendBigEndian(bytes, value.Data2, 2);
    AppendBigEndian(bytes, value.Data3, 2);
    for (std::uint8_t byte : value.Data4)
        bytes += static_cast<char>(byte);
    return TSdpData(std::move(bytes));
}

TSdpData TSdpData::Text(std::string_view bytes) {
    return Variable(sdpString, bytes);
}

TSdpData TSdpData::Url(std::string_view bytes) {
    return Variable(sdpUrl, bytes);
}

TSdpData TSdpData::Bool(bool value) {
    return Fixed(sdpBoolean, 0, 0, value ? 1 : 0);
}

TSdpData TSdpData::Sequence(std::initializer_list<TSdpData> elements) {
    return Container(sdpSequence, elements);
}

TSdpData TSdpData::Alternative(std::initializer_list<TSdpData> elements) {
    return Container(sdpAlternative, elements);
}

TSdpData TSdpData::Raw(std::string_view encoding) {
    return TSdpData(std::string(encoding));
}

TSdpRecord::TSdpRecord(std::initializer_list<std::pair<std::uint16_t, TSdpData>> attributes) {
    for (const auto& [attributeId, value] : attributes)
        Add(attributeId, value);
}

TSdpRecord& TSdpRecord::Add(std::uint16_t attributeId, const TSdpData& value) {
    FAttributes += TSdpData::UInt16(attributeId).Encoding();
    FAttributes += value.Encoding();
    return *this;
}

std::string TSdpRecord::Bytes() const {
    return TSdpData::Sequence({TSdpData::Raw(FAttributes)}).Encoding();
}

} // namespace orvelle
