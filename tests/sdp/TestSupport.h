// Helpers of the SDP tests: byte strings written in hexadecimal, and names of table cases.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvelle {

// "35 03 19 11 05" gives those five bytes; blanks are skipped.
inline std::string Bytes(std::string_view hex) {
    std::string bytes;
    int pending = -1;
    for (char c : hex) {
        if (c == ' ')
            continue;
        const auto digit = std::string_view("0123456789ABCDEF")
                               .find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (digit == std::string_view::npos)
            throw std::invalid_argument("not a hex digit in test data");
        if (pending < 0) {
            pending = static_cast<int>(digit);
        } else {
            bytes += static_cast<char>(pending << 4 | static_cast<int>(digit));
            pending = -1;
        }
    }
    if (pending >= 0)
        throw std::invalid_argument("odd number of hex digits in test data");
    return bytes;
}

// A table case's Title as a test name: letters and digits kept, anything else an underscore.
template<class TCase>
std::string CaseName(const testing::TestParamInfo<TCase>& caseInfo) {
    std::string name;
    for (char c : std::string(caseInfo.param.Title))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

} // namespace orvelle
