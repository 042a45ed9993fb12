/* The C side of the library's tests: each case runs in its own process (it may change the library's
 * process-wide state) inside a fresh temporary directory, and calls the library only through the
 * decorated names bound with dlsym, as a C program that loads the library would. */
#ifndef KAVO_CASE_H
#define KAVO_CASE_H

#include "kavoutils.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KAVO_FUNCTIONS(X)                                                                                    \
    X(TraceLoadConfiguration)                                                                                \
    X(TraceStart)                                                                                            \
    X(TraceStop)                                                                                             \
    X(TraceReset)                                                                                            \
    X(TraceLevel)                                                                                            \
    X(TracePrintTag)                                                                                         \
    X(TracePrintf)                                                                                           \
    X(ReadConfig)                                                                                            \
    X(KavoRegisterLogCallback)                                                                               \
    X(KavoGetLogCallback)                                                                                    \
    X(KavoRegisterDBLogCallback)                                                                             \
    X(KavoGetDBLogCallback)                                                                                  \
    X(KavoLogMessage)                                                                                        \
    X(KavoLogMessageLocalDB)                                                                                 \
    X(KavoLogMessageV)                                                                                       \
    X(CreateHashTable)                                                                                       \
    X(FindRecord)                                                                                            \
    X(InsertRecord)                                                                                          \
    X(RemoveRecord)                                                                                          \
    X(ClearHashTable)                                                                                        \
    X(InitializeHashIterator)                                                                                \
    X(HashInteratorNext)                                                                                     \
    X(NetRead8)                                                                                              \
    X(NetRead16)                                                                                             \
    X(NetRead32)                                                                                             \
    X(NetRead64)                                                                                             \
    X(NetReadVarUInt)                                                                                        \
    X(NetWrite8)                                                                                             \
    X(NetWrite16)                                                                                            \
    X(NetWrite32)                                                                                            \
    X(NetWrite64)                                                                                            \
    X(NetWritVarUInt)                                                                                        \
    X(NetWriteStr)                                                                                           \
    X(Hex2Bin)                                                                                               \
    X(KavoLocalAddress)                                                                                      \
    X(KavoCheckDatabaseConnectivity)

#ifndef __cplusplus
#define KAVO_API_FIELD(name) __typeof__(&name) name;

/* The library's exports, found by their decorated names. */
typedef struct KavoApi {
    KAVO_FUNCTIONS(KAVO_API_FIELD)
    int* TraceEnabled;
    const char** TraceModuleNames;
} KavoApi;

/* Bound by KavoRunCase before the case runs. */
extern KavoApi Kavo;
#endif

typedef struct KavoCase {
    const char* Name;
    void (*Run)(void);
} KavoCase;

/* Each family's cases; every table ends with an entry whose Name is null. */
extern const KavoCase KavoTraceCases[];
extern const KavoCase KavoConfigCases[];
extern const KavoCase KavoLogCases[];
extern const KavoCase KavoHashCases[];
extern const KavoCase KavoCodecCases[];
extern const KavoCase KavoNetCases[];

/* Binds the library, makes and enters a temporary directory, sets TZ=UTC, runs the case, removes the
 * directory. The result is the process exit code: 0 when every check held. */
int KavoRunCase(const KavoCase* testCase);

/* Checks that print both values on failure and let the case go on. */
void KavoCheckFailed(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void KavoCheckInt(const char* file, int line, const char* what, long long actual, long long expected);
void KavoCheckText(const char* file, int line, const char* what, const char* actual, const char* expected);
void KavoCheckBytes(const char* file, int line, const char* what, const unsigned char* actual,
                    const unsigned char* expected, size_t length);

#define CHECK_INT(actual, expected)                                                                          \
    KavoCheckInt(__FILE__, __LINE__, #actual, (long long)(actual), (long long)(expected))
#define CHECK_TEXT(actual, expected) KavoCheckText(__FILE__, __LINE__, #actual, actual, expected)
#define CHECK_BYTES(actual, expected, length)                                                                \
    KavoCheckBytes(__FILE__, __LINE__, #actual, actual, (const unsigned char*)(expected), length)
#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            KavoCheckFailed(__FILE__, __LINE__, "%s", #condition);                                           \
    } while (0)

/* Helpers over files of the case's temporary directory. */
void KavoWriteFile(const char* name, const char* content);
/* The whole file as a NUL-terminated text from OFFSET on; the caller frees it. */
char* KavoReadFile(const char* name, long long offset);

/* Standard output of the case goes to a file from KavoCaptureStdout until KavoCapturedStdout, which
 * restores it and returns what was written (the caller frees it). */
void KavoCaptureStdout(void);
char* KavoCapturedStdout(void);

/* True when TEXT matches the extended regular expression PATTERN (anchored by the caller). */
int KavoMatches(const char* text, const char* pattern);

#ifdef __cplusplus
}
#endif

#endif
