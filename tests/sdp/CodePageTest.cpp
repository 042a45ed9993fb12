// The code page table and the conversions to and from UTF-8.
#include "bluetooth/sdp/CodePage.h"

#include <gtest/gtest.h>

#include <set>

namespace orvelle {
namespace {

TEST(CodePage, EveryByteHasItsOwnCodeAndComesBack) {
    std::set<char16_t> codes;
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t code = CodePageToUnicode(static_cast<unsigned char>(byte));
        codes.insert(code);
        EXPECT_EQ(UnicodeToCodePage(code), byte) << "byte " << byte;
    }
    EXPECT_EQ(codes.size(), 256u);
}

TEST(CodePage, MapsTheWindows1252Characters) {
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090},
        {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const auto& [byte, code] : cases)
        EXPECT_EQ(CodePageToUnicode(byte), code) << "byte " << int(byte);
    EXPECT_EQ(UnicodeToCodePage(0x0080), -1);
    EXPECT_EQ(UnicodeToCodePage(0x03A9), -1);
    EXPECT_EQ(UnicodeToCodePage(0x1F600), -1);
}

TEST(CodePage, ConvertsToAndFromUtf8) {
    EXPECT_EQ(CodePageToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToCodePage(CodePageToUtf8(all)), all);
}

TEST(CodePage, UnknownCharactersAndInvalidUtf8BecomeQuestionMarks) {
    const std::pair<std::string, std::string> cases[] = {
        {"\xCE\xA9", "?"},           // Greek capital omega
        {"\xF0\x9F\x98\x80x", "?x"}, // outside the BMP
        {"\xC3", "?"},               // cut short
        {"\xC0\xAF", "??"},          // overlong
        {"\xED\xA0\x80", "???"},     // surrogate
        {"\xFF\xFE", "??"},          // never valid
        {"a\x80"
         "b",
         "a?b"}, // lone continuation byte
    };
    for (const auto& [utf8, text] : cases)
        EXPECT_EQ(Utf8ToCodePage(utf8), text);
}

TEST(CodePage, ComparesIgnoringCase) {
    EXPECT_EQ(CompareTextIgnoringCase("Office", "office"), 0);
    EXPECT_EQ(CompareTextIgnoringCase("\xC9t\xE9", "\xE9T\xC9"), 0);
    EXPECT_EQ(CompareTextIgnoringCase("\x8A", "\x9A"), 0);
    EXPECT_LT(CompareTextIgnoringCase("kitchen", "Lab"), 0);
    EXPECT_LT(CompareTextIgnoringCase("Lab", "Labs"), 0);
    EXPECT_GT(CompareTextIgnoringCase("b", "A"), 0);
    EXPECT_NE(CompareTextIgnoringCase("\xD7", "\xF7"), 0);
}

} // namespace
} // namespace orvelle
