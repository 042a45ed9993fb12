// The text of single attribute values: every element type and width, UUID naming inside values,
// text strings in both encodings, and the elements the parser never delivers.
#include "TestSupport.h"

#include "bluetooth/sdp/Errors.h"
#include "bluetooth/sdp/LastError.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "bluetooth/sdp/SdpText.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using D = TSdpData;
using namespace std::string_literals;

// The line that the per-attribute step writes for VALUE under attribute 0x0300.
std::string ValueText(const D& value) {
    std::string output;
    EXPECT_TRUE(SDPAttributeToText(0x0300, value.Encoding(), output));
    const std::string prefix = "Unknown (768) = ";
    EXPECT_EQ(output.substr(0, prefix.size()), prefix);
    EXPECT_EQ(output.back(), '\n');
    return output.substr(prefix.size(), output.size() - prefix.size() - 1);
}

struct TValueCase {
    const char* Title;
    D Value;
    std::string Text;
};

class ValueTextTest : public testing::TestWithParam<TValueCase> {};

TEST_P(ValueTextTest, RendersExactly) {
    EXPECT_EQ(ValueText(GetParam().Value), GetParam().Text);
}

const TGuid RfcommElsewhere{3, 0xABCD, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
const TGuid Unnamed128{0xDEADBEEF, 0x0001, 0x0A0B, {0xC0, 0xFF, 0xEE, 0, 0x10, 0x20, 0x30, 0x40}};

INSTANTIATE_TEST_SUITE_P(
    Elements, ValueTextTest,
    testing::Values(
        TValueCase{"nil", D::Nil(), "nil"}, TValueCase{"unsigned 8", D::UInt8(200), "200"},
        TValueCase{"unsigned 8 max", D::UInt8(255), "255"},
        TValueCase{"unsigned 16", D::UInt16(40000), "40000"},
        TValueCase{"unsigned 32 max", D::UInt32(4294967295u), "4294967295"},
        TValueCase{"unsigned 64", D::UInt64(5), "UINT64"},
        TValueCase{"unsigned 128", D::UInt128(1, 2), "UINT128"},
        TValueCase{"signed 8 -1", D::Raw(Bytes("10 FF")), "-1"},
        TValueCase{"signed 8 min", D::Int8(-128), "-128"}, TValueCase{"signed 16", D::Int16(-300), "-300"},
        TValueCase{"signed 16 positive", D::Int16(32767), "32767"},
        TValueCase{"signed 32 min", D::Int32(-2147483647 - 1), "-2147483648"},
        TValueCase{"signed 64", D::Int64(-1), "SDP_ST_INT64"},
        TValueCase{"signed 128", D::Int128(0, 1), "INT128"},
        TValueCase{"boolean 0", D::Raw(Bytes("28 00")), "false"},
        TValueCase{"boolean 1", D::Bool(true), "true"},
        TValueCase{"boolean 2", D::Raw(Bytes("28 02")), "true"},
        TValueCase{"UUID 16 named", D::Uuid16(0x1101), "SerialPort"},
        TValueCase{"UUID 16 L2CAP", D::Uuid16(0x0100), "L2CAP"},
        TValueCase{"UUID 16 unnamed", D::Uuid16(0x1234), "{00001234-0000-1000-8000-00805F9B34FB}"},
        TValueCase{"UUID 16 zero", D::Uuid16(0), "{00000000-0000-1000-8000-00805F9B34FB}"},
        TValueCase{"UUID 16 high bit", D::Uuid16(0xFFFF), "{0000FFFF-0000-1000-8000-00805F9B34FB}"},
        TValueCase{"UUID 32 named", D::Uuid32(0x1105), "OBEXObjectPush"},
        TValueCase{"UUID 32 unnamed", D::Uuid32(0x11101), "{00011101-0000-1000-8000-00805F9B34FB}"},
        TValueCase{"UUID 32 full", D::Uuid32(0xFEDCBA98), "{FEDCBA98-0000-1000-8000-00805F9B34FB}"},
        TValueCase{"UUID 128 named by first field", D::Uuid128(RfcommElsewhere), "RFCOMM"},
        TValueCase{"UUID 128 unnamed", D::Uuid128(Unnamed128), "{DEADBEEF-0001-0A0B-C0FF-EE0010203040}"},
        TValueCase{"text 8-bit", D::Text("OBEX Object Push"), "OBEX Object Push"},
        TValueCase{"text one byte", D::Text("A"), "A"},
        TValueCase{"text UTF-16 of two bytes", D::Text("A\0"s), "A"},
        TValueCase{"text with a NUL", D::Text("OBEX\0"s), "OBEX\0"s},
        TValueCase{"text UTF-16 odd length", D::Text("H\0i\0!"s), "Hi"},
        TValueCase{"text UTF-16 code page", D::Text(Bytes("E9 00 AC 20 00 01 3D D8 00 DE")), "\xE9\x80??"},
        TValueCase{"text empty", D::Text(""), ""},
        TValueCase{"text 8-bit high bytes", D::Text("caf\xE9"), "caf\xE9"},
        TValueCase{"URL", D::Url("http://example.com/a b"), "http://example.com/a b"},
        TValueCase{"URL with a NUL", D::Url("ab\0c"s), "ab\0c"s},
        TValueCase{"empty sequence", D::Sequence({}), "[]"},
        TValueCase{"empty alternative", D::Alternative({}), "alternative[]"},
        TValueCase{"sequence of one", D::Sequence({D::Uuid16(0x1105)}), "[OBEXObjectPush]"},
        TValueCase{"sequence of mixed", D::Sequence({D::Nil(), D::Bool(false), D::Text("x"), D::Int8(-2)}),
                   "[nil, false, x, -2]"},
        TValueCase{"nested alternative", D::Sequence({D::Alternative({D::UInt8(1), D::UInt8(2)})}),
                   "[alternative[1, 2]]"},
        TValueCase{"nested empties", D::Sequence({D::Sequence({}), D::Alternative({})}),
                   "[[], alternative[]]"},
        TValueCase{"16-bit length sequence", D::Raw(Bytes("36 00 04 08 07 08 09")), "[7, 9]"},
        TValueCase{"32-bit length text", D::Raw(Bytes("27 00 00 00 02 4F 4B")), "OK"}),
    CaseName<TValueCase>);

// Elements built by hand, as the parser never delivers them: codes outside the known ones.
struct THandCase {
    std::uint32_t Type;
    std::uint32_t SpecificType;
    std::string Text;
};

class HandElementTest : public testing::TestWithParam<THandCase> {};

TEST_P(HandElementTest, RendersExactly) {
    TSdpElement element;
    element.Type = GetParam().Type;
    element.SpecificType = GetParam().SpecificType;
    element.UInt = 0x1234;
    element.Int = -5;
    std::string output = "before:";
    SDPElementToText(output, element);
    EXPECT_EQ(output, "before:" + GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Codes, HandElementTest,
                         testing::Values(THandCase{9, 0, "Unknown SDP type (9, 0)"},
                                         THandCase{0x1F, 0x0310, "Unknown SDP type (31, 784)"},
                                         THandCase{0xFFFFFFFF, 0xFFFFFFFE, "Unknown SDP type (-1, -2)"},
                                         THandCase{sdpContainer, 0, "container"},
                                         THandCase{sdpUInt, 0x0510, ""}, THandCase{sdpUInt, sstInt8, ""},
                                         THandCase{sdpInt, sstUInt16, ""}, THandCase{sdpUuid, sstUInt16, ""},
                                         THandCase{sdpUInt, sstUInt8, "52"},
                                         THandCase{sdpInt, sstInt32, "-5"}));

TEST(AttributeStep, UnreadableValueRaisesWithTheLastErrorText) {
    const std::string values[] = {"", Bytes("09 01"), Bytes("35 05 08 01"), Bytes("4F"),
                                  Bytes("08 01 08 02")};
    for (const std::string& value : values) {
        std::string output = "kept";
        SetLastError(leSuccess);
        try {
            SDPAttributeToText(0, value, output);
            ADD_FAILURE() << "no error for " << testing::PrintToString(value);
        } catch (const EOrvelleError& error) {
            EXPECT_STREQ(error.what(), "Error reading SDP element data.\n\nError: The data is invalid.\r\n");
        }
        EXPECT_EQ(GetLastError(), leInvalidData);
        EXPECT_EQ(output, "kept");
    }
}

TEST(ContainerText, UnreadableElementRaisesTheResultCode) {
    std::string output;
    EXPECT_THROW(
        try { SDPContainerToText(output, Bytes("35 03 08 01 4F")); } catch (const EOrvelleError& error) {
            EXPECT_STREQ(error.what(), "Error while processing SDP container: 13");
            throw;
        },
        EOrvelleError);
    // The readable elements before the bad one were written: only the record as a whole is atomic.
    EXPECT_EQ(output, "1");
}

TEST(ContainerText, NotAContainerRaises) {
    std::string output;
    EXPECT_THROW(SDPContainerToText(output, Bytes("08 01")), EOrvelleError);
}

} // namespace
} // namespace orvelle
