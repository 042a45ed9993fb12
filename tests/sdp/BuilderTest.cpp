// The encoder's bytes: each element kind, the length fields at their boundaries, and records.
#include "TestSupport.h"

#include "bluetooth/sdp/SdpBuilder.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using D = TSdpData;

TEST(Builder, ElementEncodings) {
    const TGuid guid{0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
    const std::pair<D, std::string> cases[] = {
        {D::Nil(), "00"},
        {D::UInt8(0xAB), "08 AB"},
        {D::UInt16(0x1234), "09 12 34"},
        {D::UInt32(0x12345678), "0A 12 34 56 78"},
        {D::UInt64(0x0102030405060708), "0B 01 02 03 04 05 06 07 08"},
        {D::UInt128(0x1112131415161718, 0x0102030405060708),
         "0C 11 12 13 14 15 16 17 18 01 02 03 04 05 06 07 08"},
        {D::Int8(-1), "10 FF"},
        {D::Int16(-2), "11 FF FE"},
        {D::Int32(-3), "12 FF FF FF FD"},
        {D::Int64(-4), "13 FF FF FF FF FF FF FF FC"},
        {D::Int128(0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFB),
         "14 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FB"},
        {D::Uuid16(0x1105), "19 11 05"},
        {D::Uuid32(0x00011101), "1A 00 01 11 01"},
        {D::Uuid128(guid), "1C 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"},
        {D::Text("AB"), "25 02 41 42"},
        {D::Url("x"), "45 01 78"},
        {D::Bool(true), "28 01"},
        {D::Bool(false), "28 00"},
        {D::Sequence({D::UInt8(1), D::Nil()}), "35 03 08 01 00"},
        {D::Alternative({}), "3D 00"},
        {D::Raw(Bytes("4F")), "4F"},
    };
    for (const auto& [data, hex] : cases)
        EXPECT_EQ(data.Encoding(), Bytes(hex)) << hex;
}

TEST(Builder, LengthFieldGrowsWithTheContents) {
    const struct {
        std::size_t Length;
        std::string Header;
    } cases[] = {
        {0, "25 00"}, {255, "25 FF"}, {256, "26 01 00"}, {65535, "26 FF FF"}, {65536, "27 00 01 00 00"},
    };
    for (const auto& c : cases) {
        const std::string contents(c.Length, 'a');
        EXPECT_EQ(D::Text(contents).Encoding(), Bytes(c.Header) + contents) << c.Length;
        EXPECT_EQ(D::Sequence({D::Raw(contents)}).Encoding().substr(1), Bytes(c.Header).substr(1) + contents);
    }
}

TEST(Builder, RecordIsOneSequenceOfIdsAndValues) {
    EXPECT_EQ(TSdpRecord{}.Bytes(), Bytes("35 00"));
    TSdpRecord record{{0x0001, D::UInt8(2)}};
    record.Add(0x0100, D::Text("N"));
    EXPECT_EQ(record.Bytes(), Bytes("35 0B 09 00 01 08 02 09 01 00 25 01 4E"));
}

} // namespace
} // namespace orvelle
