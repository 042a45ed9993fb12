// Parser of the SDP data-element encoding. Every element is checked against the bytes it lives in
// before any of its parts is read, nesting is bounded by SdpMaxNesting, and nothing is allocated:
// parsed values are views into the caller's bytes.
#include "bluetooth/sdp/SdpElement.h"

#include "bluetooth/sdp/LastError.h"

namespace orvelle {

namespace {

// The first byte of an element: type in the high five bits, size index in the low three.
struct THeader {
    std::uint32_t Type = 0;
    int SizeIndex = 0;
    std::size_t DataOffset = 0;
    std::size_t DataLength = 0;

    std::size_t Length() const { return DataOffset + DataLength; }
};

std::uint64_t ReadBigEndian(std::string_view bytes, std::size_t offset, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

bool IsContainer(std::uint32_t type) {
    return type == sdpSequence || type == sdpAlternative;
}

// Whether TYPE may carry SIZEINDEX: fixed widths for the scalars, a length field for the rest.
bool SizeFits(std::uint32_t type, int sizeIndex) {
    switch (type) {
    case sdpNil:
    case sdpBoolean:
        return sizeIndex == 0;
    case sdpUInt:
    case sdpInt:
        return sizeIndex <= 4;
    case sdpUuid:
        return sizeIndex == 1 || sizeIndex == 2 || sizeIndex == 4;
    case sdpString:
    case sdpSequence:
    case sdpAlternative:
    case sdpUrl:
        return sizeIndex >= 5;
    default:
        return false;
    }
}

// Reads the header at the start of BYTES. False when the type is reserved, the size index does
// not fit the type, or the header or its data would run past the end of BYTES.
bool ReadHeader(std::string_view bytes, THeader& header) {
    if (bytes.empty())
        return false;
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    header.Type = first >> 3;
    header.SizeIndex = first & 7;
    if (!SizeFits(header.Type, header.SizeIndex))
        return false;
    if (header.SizeIndex < 5) {
        header.DataOffset = 1;
        header.DataLength = header.Type == sdpNil ? 0 : std::size_t{1} << header.SizeIndex;
    } else {
        const std::size_t fieldLength = std::size_t{1} << (header.SizeIndex - 5);
        if (bytes.size() < 1 + fieldLength)
            return false;
        header.DataOffset = 1 + fieldLength;
        header.DataLength = ReadBigEndian(bytes, 1, fieldLength);
    }
    return header.DataLength <= bytes.size() - header.DataOffset;
}

// Checks that BYTES begin with one valid element whose sequences and alternatives nest at most
// LEVELS deep, and gives its length.
bool CheckElement(std::string_view bytes, int levels, std::size_t& length) {
    THeader header;
    if (!ReadHeader(bytes, header))
        return false;
    if (IsContainer(header.Type)) {
        if (levels <= 0)
            return false;
        const auto contents = bytes.substr(header.DataOffset, header.DataLength);
        for (std::size_t offset = 0, child = 0; offset < contents.size(); offset += child) {
            if (!CheckElement(contents.substr(offset), levels - 1, child))
                return false;
        }
    }
    length = header.Length();
    return true;
}

// Fills ELEMENT from a checked element whose header is HEADER and whose bytes are BYTES.
void Decode(std::string_view bytes, const THeader& header, TSdpElement& element) {
    element = TSdpElement{};
    element.Type = header.Type;
    const auto data = bytes.substr(header.DataOffset, header.DataLength);
    const auto index = static_cast<std::uint32_t>(header.SizeIndex);
    switch (header.Type) {
    case sdpUInt:
    case sdpInt: {
        element.SpecificType = (index << 8) | (header.Type == sdpUInt ? 0x10u : 0x20u);
        const std::size_t lowLength = data.size() > 8 ? 8 : data.size();
        element.UInt = ReadBigEndian(data, data.size() - lowLength, lowLength);
        element.High = data.size() > 8 ? ReadBigEndian(data, 0, 8) : 0;
        const unsigned unusedBits = 64 - 8 * static_cast<unsigned>(lowLength);
        element.Int = header.Type == sdpInt
                          ? static_cast<std::int64_t>(element.UInt << unusedBits) >> unusedBits
                          : static_cast<std::int64_t>(element.UInt);
        break;
    }
    case sdpUuid:
        element.SpecificType = index == 1 ? sstUuid16 : index == 2 ? sstUuid32 : sstUuid128;
        if (index == 4) {
            element.Uuid.Data1 = static_cast<std::uint32_t>(ReadBigEndian(data, 0, 4));
            element.Uuid.Data2 = static_cast<std::uint16_t>(ReadBigEndian(data, 4, 2));
            element.Uuid.Data3 = static_cast<std::uint16_t>(ReadBigEndian(data, 6, 2));
            for (std::size_t i = 0; i < element.Uuid.Data4.size(); ++i)
                element.Uuid.Data4[i] = static_cast<std::uint8_t>(data[8 + i]);
        } else {
            element.UInt = ReadBigEndian(data, 0, data.size());
        }
        break;
    case sdpBoolean:
        element.Boolean = data[0] != 0;
        break;
    case sdpString:
    case sdpUrl:
        element.Bytes = data;
        break;
    case sdpSequence:
    case sdpAlternative:
        element.Bytes = bytes.substr(0, header.Length());
        break;
    default:
        break;
    }
}

std::uint32_t Fail(std::uint32_t code) {
    SetLastError(code);
    return code;
}

// Checks RECORD and calls VISIT(id, value) for its attributes in order until VISIT returns false.
// Values are checked one by one as the walk reaches them, so a caller that needs the whole record
// valid before it acts walks twice. False when the part walked is invalid.
template<class Visit>
bool WalkRecord(std::string_view record, Visit&& visit) {
    THeader header;
    if (!ReadHeader(record, header) || header.Type != sdpSequence || header.Length() != record.size())
        return false;
    const auto contents = record.substr(header.DataOffset);
    constexpr std::size_t IdLength = 3;
    constexpr std::uint8_t UInt16Header = (sdpUInt << 3) | 1;
    for (std::size_t offset = 0, valueLength = 0; offset < contents.size(); offset += valueLength) {
        if (contents.size() - offset < IdLength ||
            static_cast<std::uint8_t>(contents[offset]) != UInt16Header)
            return false;
        const auto id = static_cast<std::uint16_t>(ReadBigEndian(contents, offset + 1, 2));
        offset += IdLength;
        if (!CheckElement(contents.substr(offset), SdpMaxNesting, valueLength))
            return false;
        if (!visit(id, contents.substr(offset, valueLength)))
            return true;
    }
    return true;
}

bool CheckRecord(std::string_view record) {
    return WalkRecord(record, [](std::uint16_t, std::string_view) { return true; });
}

} // namespace

bool SdpEnumAttributes(std::string_view record, const TSdpAttributeCallback& callback) {
    if (!CheckRecord(record)) {
        SetLastError(leInvalidData);
        return false;
    }
    WalkRecord(record, callback);
    return true;
}

std::uint32_t SdpGetElementData(std::string_view bytes, TSdpElement& element) {
    THeader header;
    std::size_t length = 0;
    if (!CheckElement(bytes, SdpMaxNesting, length) || length != bytes.size())
        return Fail(leInvalidData);
    ReadHeader(bytes, header);
    Decode(bytes, header, element);
    return leSuccess;
}

std::uint32_t SdpGetContainerElementData(std::string_view container, TSdpIterator& iterator,
                                         TSdpElement& element) {
    THeader header;
    if (!ReadHeader(container, header) || !IsContainer(header.Type) || header.Length() != container.size())
        return Fail(leInvalidData);
    if (iterator.Offset == 0)
        iterator.Offset = header.DataOffset;
    if (iterator.Offset < header.DataOffset || iterator.Offset > container.size())
        return Fail(leInvalidParameter);
    if (iterator.Offset == container.size())
        return leNoMoreItems;
    const auto rest = container.substr(iterator.Offset);
    std::size_t length = 0;
    if (!CheckElement(rest, SdpMaxNesting, length))
        return Fail(leInvalidData);
    ReadHeader(rest, header);
    Decode(rest, header, element);
    iterator.Offset += length;
    return leSuccess;
}

std::uint32_t SdpGetAttributeValue(std::string_view record, std::uint16_t attributeId, TSdpElement& element) {
    if (!CheckRecord(record))
        return Fail(leInvalidData);
    std::string_view found;
    bool present = false;
    WalkRecord(record, [&](std::uint16_t id, std::string_view value) {
        present = id == attributeId;
        found = value;
        return !present;
    });
    if (!present)
        return Fail(leNotFound);
    return SdpGetElementData(found, element);
}

} // namespace orvelle
