/* Cases of the network byte-order codec: fixed-width values and the variable-length encoding, written
 * and read back with the cursor's advance. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <stdint.h>
#include <string.h>

static void FixedWidthRoundTrip(void) {
    unsigned char buffer[16];
    unsigned char* cursor = buffer;
    Kavo.NetWrite8(&cursor, 0x1AB);
    Kavo.NetWrite16(&cursor, 0x1234);
    Kavo.NetWrite32(&cursor, 0x12345678u);
    Kavo.NetWrite64(&cursor, 0x0102030405060708ull);
    CHECK_INT(cursor - buffer, 15);
    CHECK_BYTES(buffer, "\xAB\x12\x34\x12\x34\x56\x78\x01\x02\x03\x04\x05\x06\x07\x08", 15);
    cursor = buffer;
    CHECK_INT(Kavo.NetRead8(&cursor), 0xAB);
    CHECK_INT(Kavo.NetRead16(&cursor), 0x1234);
    CHECK_INT(Kavo.NetRead32(&cursor), 0x12345678u);
    CHECK(Kavo.NetRead64(&cursor) == 0x0102030405060708ull);
    CHECK_INT(cursor - buffer, 15);
    static unsigned char high[] = {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8};
    cursor = high;
    CHECK(Kavo.NetRead64(&cursor) == 0xFFFEFDFCFBFAF9F8ull);
}

static const struct {
    uint64_t Value;
    const char* Bytes;
    int Length;
} VarUInts[] = {
    {0, "\x00", 1},
    {127, "\x7F", 1},
    {128, "\x80\x01", 2},
    {300, "\xAC\x02", 2},
    {16384, "\x80\x80\x01", 3},
    {1ull << 32, "\x80\x80\x80\x80\x10", 5},
    {UINT64_MAX, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x01", 10},
};

static void VarUIntEncodings(void) {
    for (size_t i = 0; i < sizeof VarUInts / sizeof VarUInts[0]; ++i) {
        unsigned char buffer[12];
        memset(buffer, 0xEE, sizeof buffer);
        unsigned char* cursor = buffer;
        Kavo.NetWritVarUInt(&cursor, VarUInts[i].Value);
        CHECK_INT(cursor - buffer, VarUInts[i].Length);
        CHECK_BYTES(buffer, VarUInts[i].Bytes, (size_t)VarUInts[i].Length);
        cursor = buffer;
        CHECK(Kavo.NetReadVarUInt(&cursor) == VarUInts[i].Value);
        CHECK_INT(cursor - buffer, VarUInts[i].Length);
    }
}

/* Ten bytes that all announce another give 0 and leave the eleventh unread; of a tenth byte only its
 * lowest bit fits in 64 bits. */
static void VarUIntOverlongAndOverflow(void) {
    unsigned char overlong[] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01};
    unsigned char* cursor = overlong;
    CHECK(Kavo.NetReadVarUInt(&cursor) == 0);
    CHECK_INT(cursor - overlong, 10);
    unsigned char overflow[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    cursor = overflow;
    CHECK(Kavo.NetReadVarUInt(&cursor) == UINT64_MAX);
    CHECK_INT(cursor - overflow, 10);
}

static void StringsWithAndWithoutTerminator(void) {
    static const struct {
        const char* Text;
        int Terminate;
        const char* Bytes;
        int Length;
    } Cases[] = {{"", 1, "\0", 1}, {"", 0, "", 0}, {"abc", 1, "abc\0", 4}, {"abc", 0, "abc", 3}};
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        unsigned char buffer[8];
        memset(buffer, 0xEE, sizeof buffer);
        unsigned char* cursor = buffer;
        Kavo.NetWriteStr(&cursor, Cases[i].Text, Cases[i].Terminate);
        CHECK_INT(cursor - buffer, Cases[i].Length);
        CHECK_BYTES(buffer, Cases[i].Bytes, (size_t)Cases[i].Length);
        CHECK_INT(buffer[Cases[i].Length], 0xEE);
    }
}

const KavoCase KavoCodecCases[] = {
    {"FixedWidthRoundTrip", FixedWidthRoundTrip},
    {"VarUIntEncodings", VarUIntEncodings},
    {"VarUIntOverlongAndOverflow", VarUIntOverlongAndOverflow},
    {"StringsWithAndWithoutTerminator", StringsWithAndWithoutTerminator},
    {NULL, NULL},
};
