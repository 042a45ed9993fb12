// Hexadecimal digits of bytes, as scenario files write service records and addresses and the session
// file writes hexadecimal numbers.
#pragma once

#include <string>
#include <string_view>

namespace orvelle {

// The value of the hexadecimal digit C (either case), or -1 when C is none.
int HexDigitValue(char c);

// BYTES as upper-case hexadecimal digits, two per byte.
std::string HexText(std::string_view bytes);

} // namespace orvelle
