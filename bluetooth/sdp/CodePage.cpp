// Windows-1252 with its five holes filled by the C1 controls of the same value: a one-to-one map
// between the 256 byte values and 256 Unicode codes.
#include "bluetooth/sdp/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvelle {

namespace {

// Bytes 0x80 to 0x9F; every other byte is the Unicode code of the same value.
constexpr std::array<char16_t, 32> HighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& output, char32_t code) {
    if (code < 0x80) {
        output += static_cast<char>(code);
    } else if (code < 0x800) {
        output += static_cast<char>(0xC0 | (code >> 6));
        output += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        output += static_cast<char>(0xE0 | (code >> 12));
        output += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        output += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Decodes one UTF-8 character at TEXT[POSITION], advancing POSITION; an invalid sequence (overlong,
// surrogate, out of range, cut short) consumes one byte and gives none.
bool NextUtf8(std::string_view text, std::size_t& position, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[position++]);
    if (lead < 0x80) {
        code = lead;
        return true;
    }
    int more = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    std::size_t next = position;
    for (int i = 0; i < more; ++i, ++next) {
        if (next >= text.size() || (static_cast<unsigned char>(text[next]) & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (static_cast<unsigned char>(text[next]) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    position = next;
    return true;
}

// The lower-case form of a code-page letter: ASCII, the Latin-1 letters and the five pairs the code
// page adds in 0x8A to 0x9F.
unsigned char FoldCase(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
        return static_cast<unsigned char>(byte + 0x20);
    switch (byte) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(byte + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        return byte;
    }
}

} // namespace

char16_t CodePageToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : char16_t{byte};
}

int UnicodeToCodePage(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<int>(code);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == code)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

std::string CodePageToUtf8(std::string_view text) {
    std::string output;
    output.reserve(text.size());
    for (const char byte : text)
        AppendUtf8(output, CodePageToUnicode(static_cast<unsigned char>(byte)));
    return output;
}

std::string Utf8ToCodePage(std::string_view text) {
    std::string output;
    output.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        char32_t code = 0;
        const int byte = NextUtf8(text, position, code) ? UnicodeToCodePage(code) : -1;
        output += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return output;
}

std::string Utf16ToCodePage(std::string_view bytes) {
    const std::size_t count = bytes.size() / 2;
    const auto unitAt = [bytes](std::size_t i) {
        return static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                     static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    };
    std::string output;
    output.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = unitAt(i);
        const bool highSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
        if (highSurrogate && i + 1 < count && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF)
            ++i;
        const int byte = UnicodeToCodePage(unit);
        output += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return output;
}

int CompareTextIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference =
            FoldCase(static_cast<unsigned char>(a[i])) - FoldCase(static_cast<unsigned char>(b[i]));
        if (difference != 0)
            return difference;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace orvelle
