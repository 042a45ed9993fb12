/* KavoUtils: the public C interface of the shared utility library (trace, configuration reader, log
 * routing, hash table, network byte-order codec, network checks and hex conversion).
 *
 * Every name below is exported with a leading underscore (_TracePrintf for TracePrintf); the asm
 * labels bind the plain names that callers write to those decorated symbols. Status results: 0
 * success, 102 memory exhausted, 106 invalid argument or no trace file open, 120 a file, socket, name
 * or adapter list cannot be opened, created, resolved or read, 200 a TCP connection failed. */
#ifndef KAVOUTILS_H
#define KAVOUTILS_H

#include <stdarg.h>
#include <stdint.h>

#if defined(KAVOUTILS_BUILDING)
#define KAVO_API __attribute__((visibility("default")))
#else
#define KAVO_API
#endif

/* The exported symbol of NAME: the plain name with the leading underscore. */
#define KAVO_SYMBOL(name) __asm__("_" #name)
#define KAVO_PRINTF(formatIndex, firstIndex) __attribute__((format(printf, formatIndex, firstIndex)))

#ifdef __cplusplus
extern "C" {
#endif

/* Trace facility. */
#define KAVO_TRACE_MODULE_COUNT 14

KAVO_API int TraceLoadConfiguration(const char* path) KAVO_SYMBOL(TraceLoadConfiguration);
KAVO_API int TraceStart(const char* name) KAVO_SYMBOL(TraceStart);
KAVO_API int TraceStop(void) KAVO_SYMBOL(TraceStop);
KAVO_API int TraceReset(void) KAVO_SYMBOL(TraceReset);
KAVO_API int TraceLevel(int module, int level) KAVO_SYMBOL(TraceLevel);
KAVO_API void TracePrintTag(int module, const char* routine, int line) KAVO_SYMBOL(TracePrintTag);
KAVO_API void TracePrintf(const char* format, ...) KAVO_SYMBOL(TracePrintf) KAVO_PRINTF(1, 2);
KAVO_API extern int TraceEnabled[KAVO_TRACE_MODULE_COUNT] KAVO_SYMBOL(TraceEnabled);
KAVO_API extern const char* TraceModuleNames[KAVO_TRACE_MODULE_COUNT] KAVO_SYMBOL(TraceModuleNames);

/* Configuration file reader. The result lives in one process-wide buffer that the next call
 * overwrites. */
KAVO_API const char* ReadConfig(const char* fileName, const char* key, const char* defaultValue)
    KAVO_SYMBOL(ReadConfig);

/* Log message routing. */
typedef void (*KavoLogCallback)(int level, const char* message, uintptr_t user);
typedef int (*KavoDBLogCallback)(int level, const char* message, uintptr_t user);
KAVO_API int KavoRegisterLogCallback(KavoLogCallback callback, uintptr_t user)
    KAVO_SYMBOL(KavoRegisterLogCallback);
KAVO_API int KavoGetLogCallback(KavoLogCallback* callback, uintptr_t* user) KAVO_SYMBOL(KavoGetLogCallback);
KAVO_API int KavoRegisterDBLogCallback(KavoDBLogCallback callback, uintptr_t user)
    KAVO_SYMBOL(KavoRegisterDBLogCallback);
KAVO_API int KavoGetDBLogCallback(KavoDBLogCallback* callback, uintptr_t* user)
    KAVO_SYMBOL(KavoGetDBLogCallback);
KAVO_API int KavoLogMessage(int level, const char* format, ...) KAVO_SYMBOL(KavoLogMessage) KAVO_PRINTF(2, 3);
KAVO_API int KavoLogMessageLocalDB(int level, const char* format, ...) KAVO_SYMBOL(KavoLogMessageLocalDB)
    KAVO_PRINTF(2, 3);
KAVO_API int KavoLogMessageV(int level, const char* format, va_list arguments) KAVO_SYMBOL(KavoLogMessageV)
    KAVO_PRINTF(2, 0);

/* Hash table of keyed records. */
typedef struct HashRecord {
    struct HashRecord* Next;
    unsigned char* Key;
    int32_t KeyLength;
    uintptr_t Value;
} HashRecord;
typedef struct HashTable {
    HashRecord** Buckets;
    uint32_t BucketCount;
} HashTable;
typedef struct HashIterator {
    HashTable* Table;
    int32_t Bucket;
    HashRecord* Current;
} HashIterator;
typedef void (*HashClearCallback)(uintptr_t value, const unsigned char* key, int32_t keyLength);
KAVO_API HashTable* CreateHashTable(uint32_t bucketCount) KAVO_SYMBOL(CreateHashTable);
KAVO_API uintptr_t FindRecord(HashTable* table, const void* key, int32_t keyLength) KAVO_SYMBOL(FindRecord);
KAVO_API int InsertRecord(HashTable* table, uintptr_t value, const void* key, int32_t keyLength)
    KAVO_SYMBOL(InsertRecord);
KAVO_API void RemoveRecord(HashTable* table, const void* key, int32_t keyLength) KAVO_SYMBOL(RemoveRecord);
KAVO_API void ClearHashTable(HashTable* table, HashClearCallback callback) KAVO_SYMBOL(ClearHashTable);
KAVO_API int InitializeHashIterator(HashTable* table, HashIterator* iterator)
    KAVO_SYMBOL(InitializeHashIterator);
KAVO_API uintptr_t HashInteratorNext(HashIterator* iterator) KAVO_SYMBOL(HashInteratorNext);

/* Network byte-order codec over a caller's buffer; each call advances the cursor. */
KAVO_API uint8_t NetRead8(unsigned char** cursor) KAVO_SYMBOL(NetRead8);
KAVO_API uint16_t NetRead16(unsigned char** cursor) KAVO_SYMBOL(NetRead16);
KAVO_API uint32_t NetRead32(unsigned char** cursor) KAVO_SYMBOL(NetRead32);
KAVO_API uint64_t NetRead64(unsigned char** cursor) KAVO_SYMBOL(NetRead64);
KAVO_API uint64_t NetReadVarUInt(unsigned char** cursor) KAVO_SYMBOL(NetReadVarUInt);
KAVO_API void NetWrite8(unsigned char** cursor, uint32_t value) KAVO_SYMBOL(NetWrite8);
KAVO_API void NetWrite16(unsigned char** cursor, uint16_t value) KAVO_SYMBOL(NetWrite16);
KAVO_API void NetWrite32(unsigned char** cursor, uint32_t value) KAVO_SYMBOL(NetWrite32);
KAVO_API void NetWrite64(unsigned char** cursor, uint64_t value) KAVO_SYMBOL(NetWrite64);
KAVO_API void NetWritVarUInt(unsigned char** cursor, uint64_t value) KAVO_SYMBOL(NetWritVarUInt);
KAVO_API void NetWriteStr(unsigned char** cursor, const char* text, int terminate) KAVO_SYMBOL(NetWriteStr);

/* Network checks and hex conversion. */
KAVO_API void Hex2Bin(const char* text, unsigned char* out, int count) KAVO_SYMBOL(Hex2Bin);
KAVO_API int KavoLocalAddress(uint32_t* address, unsigned char hardware[6]) KAVO_SYMBOL(KavoLocalAddress);
KAVO_API int KavoCheckDatabaseConnectivity(char* server, int port) KAVO_SYMBOL(KavoCheckDatabaseConnectivity);

#ifdef __cplusplus
}
#endif

#endif
