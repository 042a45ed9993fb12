/* Integers and strings in network byte order (most significant byte first) at a moving cursor in the
 * caller's buffer, and a variable-length encoding of 64-bit unsigned integers, 7 bits a byte. The
 * caller guarantees that the bytes to read or the space to write exist. */
#include "kavoutils.h"

enum { VarUIntMoreBit = 0x80, VarUIntPayload = 0x7F };

uint8_t NetRead8(unsigned char** cursor) {
    return *(*cursor)++;
}

uint16_t NetRead16(unsigned char** cursor) {
    uint16_t high = NetRead8(cursor);
    return (uint16_t)(high << 8 | NetRead8(cursor));
}

uint32_t NetRead32(unsigned char** cursor) {
    uint32_t high = NetRead16(cursor);
    return high << 16 | NetRead16(cursor);
}

uint64_t NetRead64(unsigned char** cursor) {
    uint64_t high = NetRead32(cursor);
    return high << 32 | NetRead32(cursor);
}

/* Ten bytes that all announce a further byte give 0; the cursor stays past them. */
uint64_t NetReadVarUInt(unsigned char** cursor) {
    uint64_t value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        uint8_t byte = NetRead8(cursor);
        value |= (uint64_t)(byte & VarUIntPayload) << shift;
        if ((byte & VarUIntMoreBit) == 0)
            return value;
    }
    return 0;
}

void NetWrite8(unsigned char** cursor, uint32_t value) {
    *(*cursor)++ = (unsigned char)(value & 0xFF);
}

void NetWrite16(unsigned char** cursor, uint16_t value) {
    NetWrite8(cursor, (uint32_t)value >> 8);
    NetWrite8(cursor, value);
}

void NetWrite32(unsigned char** cursor, uint32_t value) {
    NetWrite16(cursor, (uint16_t)(value >> 16));
    NetWrite16(cursor, (uint16_t)value);
}

void NetWrite64(unsigned char** cursor, uint64_t value) {
    NetWrite32(cursor, (uint32_t)(value >> 32));
    NetWrite32(cursor, (uint32_t)value);
}

void NetWritVarUInt(unsigned char** cursor, uint64_t value) {
    for (;;) {
        uint32_t group = (uint32_t)(value & VarUIntPayload);
        value >>= 7;
        if (value == 0) {
            NetWrite8(cursor, group);
            return;
        }
        NetWrite8(cursor, group | VarUIntMoreBit);
    }
}

void NetWriteStr(unsigned char** cursor, const char* text, int terminate) {
    for (; *text != '\0'; ++text)
        NetWrite8(cursor, (unsigned char)*text);
    if (terminate)
        NetWrite8(cursor, 0);
}
