// The element operations: what they deliver for each encoding, their result codes and last errors,
// the attribute walk and its early stop, and the nesting limit.
#include "TestSupport.h"

#include "bluetooth/sdp/LastError.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "bluetooth/sdp/SdpElement.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvelle {
namespace {

using D = TSdpData;

struct TParseCase {
    const char* Title;
    std::string Encoding;
    std::uint32_t Type;
    std::uint32_t SpecificType;
    std::uint64_t UInt;
    std::int64_t Int;
    std::uint64_t High;
};

class ElementDataTest : public testing::TestWithParam<TParseCase> {};

TEST_P(ElementDataTest, DeliversCodesAndValue) {
    const TParseCase& c = GetParam();
    TSdpElement element;
    ASSERT_EQ(SdpGetElementData(c.Encoding, element), leSuccess);
    EXPECT_EQ(element.Type, c.Type);
    EXPECT_EQ(element.SpecificType, c.SpecificType);
    EXPECT_EQ(element.UInt, c.UInt);
    EXPECT_EQ(element.Int, c.Int);
    EXPECT_EQ(element.High, c.High);
}

INSTANTIATE_TEST_SUITE_P(
    Scalars, ElementDataTest,
    testing::Values(
        TParseCase{"nil", Bytes("00"), sdpNil, sstNone, 0, 0, 0},
        TParseCase{"uint8", Bytes("08 C8"), sdpUInt, sstUInt8, 200, 200, 0},
        TParseCase{"uint16", Bytes("09 9C 40"), sdpUInt, sstUInt16, 40000, 40000, 0},
        TParseCase{"uint32", Bytes("0A FF FF FF FF"), sdpUInt, sstUInt32, 0xFFFFFFFF, 0xFFFFFFFF, 0},
        TParseCase{"uint64", Bytes("0B 01 02 03 04 05 06 07 08"), sdpUInt, sstUInt64, 0x0102030405060708,
                   0x0102030405060708, 0},
        TParseCase{"uint128", Bytes("0C 11 12 13 14 15 16 17 18 01 02 03 04 05 06 07 08"), sdpUInt,
                   sstUInt128, 0x0102030405060708, 0x0102030405060708, 0x1112131415161718},
        TParseCase{"int8 -1", Bytes("10 FF"), sdpInt, sstInt8, 0xFF, -1, 0},
        TParseCase{"int8 127", Bytes("10 7F"), sdpInt, sstInt8, 0x7F, 127, 0},
        TParseCase{"int16 min", Bytes("11 80 00"), sdpInt, sstInt16, 0x8000, -32768, 0},
        TParseCase{"int32 -2", Bytes("12 FF FF FF FE"), sdpInt, sstInt32, 0xFFFFFFFE, -2, 0},
        TParseCase{"int64 -1", Bytes("13 FF FF FF FF FF FF FF FF"), sdpInt, sstInt64, 0xFFFFFFFFFFFFFFFF, -1,
                   0},
        TParseCase{"uuid16", Bytes("19 11 05"), sdpUuid, sstUuid16, 0x1105, 0, 0},
        TParseCase{"uuid32", Bytes("1A 00 01 11 01"), sdpUuid, sstUuid32, 0x11101, 0, 0},
        TParseCase{"boolean", Bytes("28 02"), sdpBoolean, sstNone, 0, 0, 0}),
    CaseName<TParseCase>);

TEST(ElementData, Uuid128FieldsAreBigEndian) {
    TSdpElement element;
    ASSERT_EQ(SdpGetElementData(Bytes("1C 00 00 11 01 00 00 10 00 80 00 00 80 5F 9B 34 FB"), element),
              leSuccess);
    EXPECT_EQ(element.SpecificType, sstUuid128);
    EXPECT_EQ(element.Uuid, ShortUUIDToGUID(0x1101));
}

TEST(ElementData, BytesOfStringsAndContainers) {
    TSdpElement element;
    const std::string text = Bytes("25 03 41 00 42");
    ASSERT_EQ(SdpGetElementData(text, element), leSuccess);
    EXPECT_EQ(element.Type, sdpString);
    EXPECT_EQ(element.Bytes, std::string_view(text).substr(2));
    EXPECT_EQ(element.Bytes.data(), text.data() + 2);

    const std::string url = Bytes("45 01 78");
    ASSERT_EQ(SdpGetElementData(url, element), leSuccess);
    EXPECT_EQ(element.Type, sdpUrl);
    EXPECT_EQ(element.Bytes, "x");

    // A container's bytes are its whole encoding, header included.
    const std::string alternative = Bytes("3E 00 02 08 01");
    ASSERT_EQ(SdpGetElementData(alternative, element), leSuccess);
    EXPECT_EQ(element.Type, sdpAlternative);
    EXPECT_EQ(element.Bytes, alternative);
}

TEST(ElementData, MalformedBytesGiveInvalidData) {
    for (const std::string& bytes : {std::string(), Bytes("09 00"), Bytes("25 02 41"), Bytes("48"),
                                     Bytes("35 01 08"), Bytes("08 01 00")}) {
        SetLastError(leSuccess);
        TSdpElement element;
        EXPECT_EQ(SdpGetElementData(bytes, element), leInvalidData) << testing::PrintToString(bytes);
        EXPECT_EQ(GetLastError(), leInvalidData);
    }
}

TEST(ContainerData, IteratesToTheEndAndStaysThere) {
    const std::string container =
        D::Sequence({D::UInt8(1), D::Text("ab"), D::Sequence({D::Nil()})}).Encoding();
    TSdpIterator iterator;
    TSdpElement element;
    std::vector<std::uint32_t> types;
    std::uint32_t result = 0;
    while ((result = SdpGetContainerElementData(container, iterator, element)) == leSuccess)
        types.push_back(element.Type);
    EXPECT_EQ(result, leNoMoreItems);
    EXPECT_EQ(types, (std::vector<std::uint32_t>{sdpUInt, sdpString, sdpSequence}));
    EXPECT_EQ(SdpGetContainerElementData(container, iterator, element), leNoMoreItems);
}

TEST(ContainerData, EmptyContainersEndAtOnce) {
    for (const std::string& container : {Bytes("35 00"), Bytes("3D 00"), Bytes("37 00 00 00 00")}) {
        TSdpIterator iterator;
        TSdpElement element;
        EXPECT_EQ(SdpGetContainerElementData(container, iterator, element), leNoMoreItems);
    }
}

TEST(ContainerData, ErrorsAreCodesOtherThanTheEnd) {
    struct TCase {
        std::string Container;
        int GoodElements;
    };
    const TCase cases[] = {
        {Bytes("08 01"), 0},          // not a container
        {Bytes("35 03 08 01"), 0},    // length past the end
        {Bytes("35 01 08 01"), 0},    // bytes after the container
        {Bytes("35 03 08 01 4F"), 1}, // reserved type as second element
        {Bytes("35 03 08 01 09"), 1}, // second element cut short
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Container));
        TSdpIterator iterator;
        TSdpElement element;
        for (int i = 0; i < c.GoodElements; ++i)
            EXPECT_EQ(SdpGetContainerElementData(c.Container, iterator, element), leSuccess);
        SetLastError(leSuccess);
        EXPECT_EQ(SdpGetContainerElementData(c.Container, iterator, element), leInvalidData);
        EXPECT_EQ(GetLastError(), leInvalidData);
    }
}

TEST(ContainerData, IteratorOutsideTheContainerIsRefused) {
    const std::string container = Bytes("35 02 08 01");
    TSdpIterator iterator{1};
    TSdpElement element;
    EXPECT_EQ(SdpGetContainerElementData(container, iterator, element), leInvalidParameter);
    iterator.Offset = 1000;
    EXPECT_EQ(SdpGetContainerElementData(container, iterator, element), leInvalidParameter);
}

const std::string ThreeAttributes =
    TSdpRecord{{0x0000, D::UInt32(7)}, {0x0100, D::Text("Name")}, {0x0009, D::Nil()}}.Bytes();

TEST(EnumAttributes, WalksInRecordOrderWithValueEncodings) {
    std::vector<std::pair<std::uint16_t, std::string>> seen;
    EXPECT_TRUE(SdpEnumAttributes(ThreeAttributes, [&](std::uint16_t id, std::string_view value) {
        seen.emplace_back(id, value);
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::pair<std::uint16_t, std::string>>{{0x0000, Bytes("0A 00 00 00 07")},
                                                                        {0x0100, Bytes("25 04") + "Name"},
                                                                        {0x0009, Bytes("00")}}));
}

TEST(EnumAttributes, CallbackStopsTheWalk) {
    int calls = 0;
    EXPECT_TRUE(
        SdpEnumAttributes(ThreeAttributes, [&](std::uint16_t, std::string_view) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
}

TEST(EnumAttributes, InvalidRecordCallsNothing) {
    // The last value is bad: the walk must not have started on the good ones before it.
    const std::string record = ThreeAttributes.substr(0, ThreeAttributes.size() - 1) + Bytes("48");
    int calls = 0;
    SetLastError(leSuccess);
    EXPECT_FALSE(SdpEnumAttributes(record, [&](std::uint16_t, std::string_view) { return ++calls > 0; }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(GetLastError(), leInvalidData);
}

TEST(EnumAttributes, CallbackExceptionReachesTheCaller) {
    EXPECT_THROW(
        SdpEnumAttributes(ThreeAttributes,
                          [](std::uint16_t, std::string_view) -> bool { throw std::runtime_error("x"); }),
        std::runtime_error);
}

TEST(AttributeValue, FoundMissingAndInvalid) {
    TSdpElement element;
    ASSERT_EQ(SdpGetAttributeValue(ThreeAttributes, 0x0100, element), leSuccess);
    EXPECT_EQ(element.Bytes, "Name");
    ASSERT_EQ(SdpGetAttributeValue(ThreeAttributes, 0x0009, element), leSuccess);
    EXPECT_EQ(element.Type, sdpNil);

    SetLastError(leSuccess);
    EXPECT_EQ(SdpGetAttributeValue(ThreeAttributes, 0x0001, element), leNotFound);
    EXPECT_EQ(GetLastError(), leNotFound);
    // The attribute sought comes before the fault, yet an invalid record has no attributes.
    const std::string broken = ThreeAttributes.substr(0, ThreeAttributes.size() - 1) + Bytes("48");
    EXPECT_EQ(SdpGetAttributeValue(broken, 0x0100, element), leInvalidData);
    EXPECT_EQ(GetLastError(), leInvalidData);
}

// Sequences nested LEVELS deep around one unsigned 8-bit value.
std::string Nested(int levels) {
    std::string value = D::UInt8(1).Encoding();
    for (int i = 0; i < levels; ++i)
        value = D::Sequence({D::Raw(value)}).Encoding();
    return value;
}

TEST(NestingLimit, ThirtyTwoLevelsAreReadAndThirtyThreeAreNot) {
    TSdpElement element;
    EXPECT_EQ(SdpGetElementData(Nested(SdpMaxNesting), element), leSuccess);
    EXPECT_EQ(SdpGetElementData(Nested(SdpMaxNesting + 1), element), leInvalidData);
    // A million levels need a 32-bit length at each: the check fails at level 33 without
    // walking further.
    EXPECT_EQ(SdpGetElementData(Nested(2000), element), leInvalidData);

    TSdpIterator iterator;
    EXPECT_EQ(SdpGetContainerElementData(D::Sequence({D::Raw(Nested(SdpMaxNesting))}).Encoding(), iterator,
                                         element),
              leSuccess);
    iterator = {};
    EXPECT_EQ(SdpGetContainerElementData(D::Sequence({D::Raw(Nested(SdpMaxNesting + 1))}).Encoding(),
                                         iterator, element),
              leInvalidData);
}

} // namespace
} // namespace orvelle
