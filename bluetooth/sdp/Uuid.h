// UUIDs in the GUID layout that record texts and names use, their registry text, and the names of
// the service classes and protocols this program knows.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvelle {

// A 128-bit UUID as three numeric fields and eight bytes in stored order; Data1 is the field that
// 16-bit and 32-bit UUIDs widen into.
struct TGuid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend bool operator==(const TGuid&, const TGuid&) = default;
};

// 00000000-0000-1000-8000-00805F9B34FB, the base that short UUIDs widen into.
inline constexpr TGuid BluetoothBaseUUID{0, 0, 0x1000, {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}};

// The base UUID with its first field replaced by VALUE (a 16-bit value zero-extended).
TGuid ShortUUIDToGUID(std::uint32_t value);

// The known name of UUID's first field (only that field is compared, whatever the other 96 bits),
// otherwise GuidToText of UUID.
std::string UUIDToName(TGuid uuid);

// The registry form, 38 characters: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} in upper case.
std::string GuidToText(const TGuid& uuid);

} // namespace orvelle
