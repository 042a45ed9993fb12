// UTF-16 to Windows-1252, the one conversion that rendering SDP text strings needs.
#include "bluetooth/sdp/Utf16Text.h"

#include <cstdint>

namespace orvelle {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned bytes stand for the control characters of
// the same number, so that every byte has one character and back.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ToCodePage(char16_t unit) {
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    return '?';
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::string Utf16ToCodePage(std::string_view bytes) {
    const std::size_t count = bytes.size() / 2;
    const auto unitAt = [bytes](std::size_t i) {
        return static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                     static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    };
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = unitAt(i);
        // A surrogate pair is one character outside the code page: one '?' for both units.
        if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(unitAt(i + 1)))
            ++i;
        text += ToCodePage(unit);
    }
    return text;
}

} // namespace orvelle
