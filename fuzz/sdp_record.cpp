// libFuzzer target: any bytes as a raw service record, through the whole-record text and the text of
// single attributes. Besides crashes it stops on answers that disagree with each other.
#include "bluetooth/sdp/Errors.h"
#include "bluetooth/sdp/SdpText.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The record text built again from the attribute ids and SDPAttributeText; empty when an id repeats,
// since SDPAttributeText finds only the first of them.
std::string TextByAttribute(std::string_view record, bool& uniqueIds) {
    std::string text;
    std::set<std::uint16_t> seen;
    uniqueIds = true;
    orvelle::SdpEnumAttributes(record, [&](std::uint16_t id, std::string_view) {
        uniqueIds = seen.insert(id).second;
        text += orvelle::SDPAttributeName(id) + " = " + orvelle::SDPAttributeText(id, record) + "\n";
        return uniqueIds;
    });
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view record(reinterpret_cast<const char*>(data), size);
    std::string text;
    bool readable = true;
    try {
        text = orvelle::SDPRecordToText(record);
    } catch (const orvelle::EOrvelleError&) {
        readable = false;
    }
    // A record is checked whole before any value is read, so asking for one attribute never raises,
    // and an unreadable record has no attribute text at all.
    const std::uint16_t someId =
        size >= 2 ? static_cast<std::uint16_t>(data[size - 2] << 8 | data[size - 1]) : 0;
    for (std::uint16_t id : {std::uint16_t{0x0100}, someId}) {
        const std::string value = orvelle::SDPAttributeText(id, record);
        Check(readable || value.empty());
    }
    if (readable) {
        bool uniqueIds = true;
        const std::string rebuilt = TextByAttribute(record, uniqueIds);
        Check(!uniqueIds || rebuilt == text);
    }
    return 0;
}
