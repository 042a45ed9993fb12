// Hexadecimal digits of bytes.
#include "bluetooth/sdp/HexText.h"

#include <cstdint>

namespace orvelle {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string HexText(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * bytes.size());
    for (const char byte : bytes) {
        text += Digits[std::uint8_t(byte) >> 4];
        text += Digits[std::uint8_t(byte) & 0xF];
    }
    return text;
}

} // namespace orvelle
