/* Cases of the log routing: the trace copy, the callbacks with pointer-sized user values, and what
 * reaches standard output. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define TIME "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}"
#define HEADER "Started Tracing " TIME "\nVersion: 4\\.5\\.0\\.2\n"

enum { MessageLimit = 1999, MaximumCalls = 8 };

/* What the callbacks saw, in call order. */
static struct {
    char Kind;
    int Level;
    char Message[2100];
    uintptr_t User;
} Calls[MaximumCalls];
static int CallCount;
static int DBResult;

static void Record(char kind, int level, const char* message, uintptr_t user) {
    if (CallCount == MaximumCalls)
        return;
    Calls[CallCount].Kind = kind;
    Calls[CallCount].Level = level;
    snprintf(Calls[CallCount].Message, sizeof Calls[CallCount].Message, "%s", message);
    Calls[CallCount].User = user;
    ++CallCount;
}

static void LogCallback(int level, const char* message, uintptr_t user) {
    Record('L', level, message, user);
}

static int DBLogCallback(int level, const char* message, uintptr_t user) {
    Record('D', level, message, user);
    return DBResult;
}

static void WithoutCallbacksPrintsLevelWord(void) {
    CHECK_INT(Kavo.TraceStart("trace.log"), 0);
    KavoCaptureStdout();
    CHECK_INT(Kavo.KavoLogMessage(2, "disk %s", "full"), 0);
    char* captured = KavoCapturedStdout();
    CHECK_TEXT(captured, "WARNING: disk full\n");
    free(captured);
    char* trace = KavoReadFile("trace.log", 0);
    CHECK(KavoMatches(trace, "^" HEADER "\\[Log\\] disk full\n$"));
    free(trace);
}

static void LevelWords(void) {
    static const struct {
        int Level;
        const char* Line;
    } Cases[] = {
        {1, "ERROR: m\n"}, {2, "WARNING: m\n"}, {3, "INFO: m\n"},   {4, "DEBUG: m\n"},
        {5, "TRACE: m\n"}, {0, "UNKOWN: m\n"},  {6, "UNKOWN: m\n"}, {-1, "UNKOWN: m\n"},
    };
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        KavoCaptureStdout();
        CHECK_INT(Kavo.KavoLogMessageLocalDB(Cases[i].Level, "%s", "m"), 0);
        char* captured = KavoCapturedStdout();
        char expected[100];
        snprintf(expected, sizeof expected, "[Log] m\n%s", Cases[i].Line);
        CHECK_TEXT(captured, expected);
        free(captured);
    }
}

/* Pointer-sized user values come back whole, also above 32 bits. */
static void CallbacksInOrderWithUserValues(void) {
    static int object;
    const uintptr_t user = (uintptr_t)&object;
    const uintptr_t dbUser = UINTPTR_MAX - 1;
    Kavo.KavoRegisterLogCallback(LogCallback, user);
    Kavo.KavoRegisterDBLogCallback(DBLogCallback, dbUser);
    KavoCaptureStdout();
    DBResult = 0;
    CHECK_INT(Kavo.KavoLogMessage(3, "stored %d", 1), 0);
    DBResult = 5;
    int refused = Kavo.KavoLogMessage(1, "refused %d", 2);
    char* captured = KavoCapturedStdout();
    CHECK_TEXT(captured, "[Log] stored 1\n[Log] refused 2\nLog not stored: refused 2\n");
    CHECK_INT(refused, (int)strlen("Log not stored: refused 2\n"));
    free(captured);
    CHECK_INT(CallCount, 4);
    static const char Kinds[] = "LDLD";
    for (int i = 0; i < CallCount; ++i) {
        CHECK_INT(Calls[i].Kind, Kinds[i]);
        CHECK_INT(Calls[i].Level, i < 2 ? 3 : 1);
        CHECK_TEXT(Calls[i].Message, i < 2 ? "stored 1" : "refused 2");
        CHECK(Calls[i].User == (Kinds[i] == 'L' ? user : dbUser));
    }
}

static void RegistrationReplacesAndReads(void) {
    KavoLogCallback callback = LogCallback;
    uintptr_t user = 0;
    CHECK_INT(Kavo.KavoGetLogCallback(&callback, &user), 0);
    CHECK(callback == NULL && user == 0);
    CHECK_INT(Kavo.KavoRegisterLogCallback(LogCallback, 1), 0);
    CHECK_INT(Kavo.KavoRegisterLogCallback(NULL, UINTPTR_MAX), 0);
    CHECK_INT(Kavo.KavoGetLogCallback(&callback, &user), 0);
    CHECK(callback == NULL && user == UINTPTR_MAX);
    KavoDBLogCallback dbCallback = NULL;
    CHECK_INT(Kavo.KavoRegisterDBLogCallback(DBLogCallback, 7), 0);
    CHECK_INT(Kavo.KavoGetDBLogCallback(&dbCallback, &user), 0);
    CHECK(dbCallback == DBLogCallback && user == 7);
}

static int LogThroughList(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int status = Kavo.KavoLogMessageV(level, format, arguments);
    va_end(arguments);
    return status;
}

/* A long message is cut to 1999 characters for the trace copy and for the callbacks alike. */
static void LongMessageIsCut(void) {
    char longText[2500];
    memset(longText, 'a', sizeof longText - 1);
    longText[sizeof longText - 1] = '\0';
    CHECK_INT(Kavo.TraceStart("trace.log"), 0);
    Kavo.KavoRegisterLogCallback(LogCallback, 0);
    Kavo.KavoRegisterDBLogCallback(DBLogCallback, 0);
    DBResult = 0;
    KavoCaptureStdout();
    CHECK_INT(LogThroughList(4, "%s", longText), 0);
    char* captured = KavoCapturedStdout();
    CHECK_TEXT(captured, "");
    free(captured);
    CHECK_INT(CallCount, 2);
    for (int i = 0; i < CallCount; ++i)
        CHECK_INT(strlen(Calls[i].Message), MessageLimit);
    char* trace = KavoReadFile("trace.log", 0);
    char* copy = strstr(trace, "[Log] ");
    CHECK(copy != NULL && strlen(copy) == strlen("[Log] \n") + MessageLimit);
    free(trace);
}

const KavoCase KavoLogCases[] = {
    {"WithoutCallbacksPrintsLevelWord", WithoutCallbacksPrintsLevelWord},
    {"LevelWords", LevelWords},
    {"CallbacksInOrderWithUserValues", CallbacksInOrderWithUserValues},
    {"RegistrationReplacesAndReads", RegistrationReplacesAndReads},
    {"LongMessageIsCut", LongMessageIsCut},
    {NULL, NULL},
};
