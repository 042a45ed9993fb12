// Conversion of UTF-16 text, as SDP text strings may carry it, to the program's 8-bit code page.
#pragma once

#include <string>
#include <string_view>

namespace orvelle {

// Converts the little-endian UTF-16 code units in BYTES (an odd last byte is ignored) to
// Windows-1252. A character the code page lacks, and a lone surrogate, become one '?'; NUL code
// units are kept.
std::string Utf16ToCodePage(std::string_view bytes);

} // namespace orvelle
