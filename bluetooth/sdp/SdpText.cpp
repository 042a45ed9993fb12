// Rendering of raw service records, attributes and elements as text.
#include "bluetooth/sdp/SdpText.h"

#include "bluetooth/sdp/CodePage.h"
#include "bluetooth/sdp/Errors.h"
#include "bluetooth/sdp/LastError.h"

#include <array>

namespace orvelle {

namespace {

// The universal attributes, by id.
constexpr std::array<const char*, 14> AttributeNames{
    "ServiceRecordHandle",
    "ServiceClassIDList",
    "ServiceRecordState",
    "ServiceID",
    "ProtocolDescriptorList",
    "BrowseGroupList",
    "LanguageBaseAttributeIDList",
    "ServiceInfoTimeToLive",
    "ServiceAvailability",
    "BluetoothProfileDescriptorList",
    "DocumentationURL",
    "ClientExecutableURL",
    "IconURL",
    "AdditionalProtocolDescriptorLists",
};

// A text string whose second byte is zero is taken as UTF-16; any other is kept byte for byte,
// NUL bytes included.
void AppendString(std::string& output, std::string_view bytes) {
    if (bytes.size() > 1 && bytes[1] == '\0')
        output += Utf16ToCodePage(bytes);
    else
        output += bytes;
}

// Integers of 8, 16 and 32 bits in decimal (the value cut to its width, signed or not as T8 to T32
// are); wider ones only by the name of their width. KIND is the low byte of the family's codes.
template<class T8, class T16, class T32, class Value>
void AppendInteger(std::string& output, std::uint32_t specificType, std::uint32_t kind, Value value,
                   const char* name64, const char* name128) {
    if ((specificType & 0xFF) != kind)
        return;
    switch (specificType >> 8) {
    case 0:
        output += std::to_string(static_cast<T8>(value));
        break;
    case 1:
        output += std::to_string(static_cast<T16>(value));
        break;
    case 2:
        output += std::to_string(static_cast<T32>(value));
        break;
    case 3:
        output += name64;
        break;
    case 4:
        output += name128;
        break;
    default:
        break;
    }
}

void AppendUuid(std::string& output, const TSdpElement& element) {
    switch (element.SpecificType) {
    case sstUuid16:
        output += UUIDToName(ShortUUIDToGUID(static_cast<std::uint16_t>(element.UInt)));
        break;
    case sstUuid32:
        output += UUIDToName(ShortUUIDToGUID(static_cast<std::uint32_t>(element.UInt)));
        break;
    case sstUuid128:
        output += UUIDToName(element.Uuid);
        break;
    default:
        break;
    }
}

} // namespace

std::string SDPRecordToText(std::string_view record) {
    std::string output;
    const auto appendAttribute = [&output](std::uint16_t attributeId, std::string_view value) {
        return SDPAttributeToText(attributeId, value, output);
    };
    if (!SdpEnumAttributes(record, appendAttribute))
        throw EOrvelleError("Unable to enumerate SDP attributes.\n\nError: " + GetLastErrorText());
    return output;
}

std::string SDPAttributeText(std::uint32_t attributeId, std::string_view record) {
    TSdpElement element;
    if (SdpGetAttributeValue(record, static_cast<std::uint16_t>(attributeId), element) != leSuccess)
        return {};
    std::string text;
    SDPElementToText(text, element);
    return text;
}

std::string SDPAttributeName(std::uint32_t attributeId) {
    if (attributeId < AttributeNames.size())
        return AttributeNames[attributeId];
    return "Unknown (" + std::to_string(attributeId) + ")";
}

void SDPElementToText(std::string& output, const TSdpElement& element) {
    switch (element.Type) {
    case sdpNil:
        output += "nil";
        break;
    case sdpUInt:
        AppendInteger<std::uint8_t, std::uint16_t, std::uint32_t>(output, element.SpecificType, sstUInt8,
                                                                  element.UInt, "UINT64", "UINT128");
        break;
    case sdpInt:
        AppendInteger<std::int8_t, std::int16_t, std::int32_t>(output, element.SpecificType, sstInt8,
                                                               element.Int, "SDP_ST_INT64", "INT128");
        break;
    case sdpUuid:
        AppendUuid(output, element);
        break;
    case sdpString:
        AppendString(output, element.Bytes);
        break;
    case sdpBoolean:
        output += element.Boolean ? "true" : "false";
        break;
    case sdpSequence:
        output += '[';
        SDPContainerToText(output, element.Bytes);
        output += ']';
        break;
    case sdpAlternative:
        output += "alternative[";
        SDPContainerToText(output, element.Bytes);
        output += ']';
        break;
    case sdpUrl:
        output += element.Bytes;
        break;
    case sdpContainer:
        output += "container";
        break;
    default:
        output += "Unknown SDP type (" + std::to_string(static_cast<std::int32_t>(element.Type)) + ", " +
                  std::to_string(static_cast<std::int32_t>(element.SpecificType)) + ")";
        break;
    }
}

void SDPContainerToText(std::string& output, std::string_view container) {
    TSdpIterator iterator;
    TSdpElement element;
    for (bool first = true;; first = false) {
        const std::uint32_t result = SdpGetContainerElementData(container, iterator, element);
        if (result == leNoMoreItems)
            return;
        if (result != leSuccess)
            throw EOrvelleError("Error while processing SDP container: " +
                                std::to_string(static_cast<std::int32_t>(result)));
        if (!first)
            output += ", ";
        SDPElementToText(output, element);
    }
}

bool SDPAttributeToText(std::uint32_t attributeId, std::string_view value, std::string& output) {
    TSdpElement element;
    if (SdpGetElementData(value, element) != leSuccess)
        throw EOrvelleError("Error reading SDP element data.\n\nError: " + GetLastErrorText());
    output += SDPAttributeName(attributeId);
    output += " = ";
    SDPElementToText(output, element);
    output += '\n';
    return true;
}

} // namespace orvelle
