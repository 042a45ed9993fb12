// The program's 8-bit code page (Windows-1252, its five unassigned bytes mapped to the C1 controls of
// the same value), so that every byte value has exactly one Unicode code and comes back from it.
#pragma once

#include <string>
#include <string_view>

namespace orvelle {

char16_t CodePageToUnicode(unsigned char byte);

// The byte of CODE in the code page, or -1 when the code page has no such character.
int UnicodeToCodePage(char32_t code);

std::string CodePageToUtf8(std::string_view text);

// UTF-8 to the code page; a character the code page lacks, and every invalid UTF-8 sequence, gives '?'.
std::string Utf8ToCodePage(std::string_view text);

// The little-endian UTF-16 code units in BYTES (an odd last byte is ignored), as SDP text strings may
// carry them, to the code page. A character the code page lacks, a surrogate pair and a lone surrogate
// each become one '?'; NUL code units are kept.
std::string Utf16ToCodePage(std::string_view bytes);

// Compares two code-page texts without regard to letter case (the code page's own letters included):
// negative, 0 or positive as A sorts before, with or after B.
int CompareTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace orvelle
