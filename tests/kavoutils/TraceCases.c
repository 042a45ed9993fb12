/* Cases of the trace facility: configuration loading, the file's exact lines, the tag, the length
 * limit and the length-exceeded state. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#define TIME "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}"
#define HEADER "Started Tracing " TIME "\nVersion: 4\\.5\\.0\\.2\n"
#define STOP "Stopped Tracing " TIME "\n"
#define LIMIT_LINE "Stopped Tracing. Maximum file length exceeded\n"

static const long long MaximumLength = 500000000;

static void CheckFileMatches(const char* name, long long offset, const char* pattern) {
    char* text = KavoReadFile(name, offset);
    CHECK(KavoMatches(text, pattern));
    free(text);
}

static long long FileSize(const char* name) {
    struct stat status;
    return stat(name, &status) == 0 ? (long long)status.st_size : -1;
}

/* A sparse file of LENGTH bytes costs no disk space. */
static void MakeSparseFile(const char* name, long long length) {
    int file = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    CHECK(file >= 0 && ftruncate(file, length) == 0);
    close(file);
}

static void PrintLines(int count) {
    for (int i = 0; i < count; ++i)
        Kavo.TracePrintf("line %d\n", i);
}

static void MissingConfigurationAppendsHeaderOnly(void) {
    KavoWriteFile("trace.log", "earlier\n");
    CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), 0);
    for (int module = 0; module < KAVO_TRACE_MODULE_COUNT; ++module)
        CHECK_INT(Kavo.TraceEnabled[module], 0);
    CheckFileMatches("trace.log", 0, "^earlier\n" HEADER "$");
}

static void NullPathReadsTraceConf(void) {
    KavoWriteFile("trace.conf", "TraceFile = named.log\nbluetooth=100\nKavo = 3 # library\n");
    CHECK_INT(Kavo.TraceLoadConfiguration(NULL), 0);
    CHECK_INT(Kavo.TraceEnabled[10], 100);
    CHECK_INT(Kavo.TraceEnabled[7], 3);
    CHECK_INT(Kavo.TraceEnabled[0], 0);
    CheckFileMatches("named.log", 0, "^" HEADER "$");
    CHECK_INT(FileSize("trace.log"), -1);
}

/* Statements test the level themselves; a level of 100 lets thresholds up to 100 through. */
static void LevelHoldsBackHigherThresholds(void) {
    KavoWriteFile("trace.conf", "Bluetooth = 100\n");
    CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), 0);
    static const int Thresholds[] = {1, 10, 50, 100, 210};
    for (size_t i = 0; i < sizeof Thresholds / sizeof Thresholds[0]; ++i)
        if (Kavo.TraceEnabled[10] >= Thresholds[i]) {
            Kavo.TracePrintTag(10, "Statement", Thresholds[i]);
            Kavo.TracePrintf("threshold %d", Thresholds[i]);
            Kavo.TracePrintf("\n");
        }
    CheckFileMatches("trace.log", 0,
                     "^" HEADER "(" TIME
                     " \\[Bluetooth\\]Statement:(1|10|50|100) threshold (1|10|50|100)\n){4}$");
}

static void LevelTextsConvertAsNumbers(void) {
    static const struct {
        const char* Text;
        int Level;
    } Cases[] = {
        {"abc", 0},
        {"-5", -5},
        {"  42xyz", 42},
        {"+7", 7},
        {"", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        char content[100];
        snprintf(content, sizeof content, "Bluetooth=%s\n", Cases[i].Text);
        KavoWriteFile("trace.conf", content);
        CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), 0);
        if (Kavo.TraceEnabled[10] != Cases[i].Level)
            fprintf(stderr, "level text \"%s\"\n", Cases[i].Text);
        CHECK_INT(Kavo.TraceEnabled[10], Cases[i].Level);
    }
}

static void SecondLoadKeepsFileAndAppliesLevels(void) {
    KavoWriteFile("trace.conf", "TraceFile=first.log\nBluetooth=5\n");
    CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), 0);
    KavoWriteFile("trace.conf", "TraceFile=second.log\nBluetooth=9\nKavo=1\n");
    CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), 0);
    CHECK_INT(Kavo.TraceEnabled[10], 9);
    CHECK_INT(Kavo.TraceEnabled[7], 1);
    Kavo.TracePrintf("after\n");
    CheckFileMatches("first.log", 0, "^" HEADER "after\n$");
    CHECK_INT(FileSize("second.log"), -1);
}

static void UnusableTraceFileLoadsNoLevels(void) {
    static const char* const Configurations[] = {
        "TraceFile=missing-directory/trace.log\nBluetooth=100\n",
        "TraceFile=   # no name\nBluetooth=100\n",
    };
    static const int Statuses[] = {120, 106};
    for (size_t i = 0; i < 2; ++i) {
        KavoWriteFile("trace.conf", Configurations[i]);
        CHECK_INT(Kavo.TraceLoadConfiguration("trace.conf"), Statuses[i]);
        CHECK_INT(Kavo.TraceEnabled[10], 0);
    }
    CHECK_INT(Kavo.TraceStart(NULL), 106);
    CHECK_INT(Kavo.TraceStop(), 106);
}

static void EmptyNameStopsOpenFile(void) {
    CHECK_INT(Kavo.TraceStart("old.log"), 0);
    CHECK_INT(Kavo.TraceStart(""), 106);
    CheckFileMatches("old.log", 0, "^" HEADER STOP "$");
    KavoCaptureStdout();
    Kavo.TracePrintf("to %s\n", "stdout");
    char* captured = KavoCapturedStdout();
    CHECK_TEXT(captured, "to stdout\n");
    free(captured);
    CHECK_INT(Kavo.TraceStop(), 106);
}

static void StartReplacesOpenFile(void) {
    CHECK_INT(Kavo.TraceStart("one.log"), 0);
    CHECK_INT(Kavo.TraceStart("two.log"), 0);
    Kavo.TracePrintf("second\n");
    CHECK_INT(Kavo.TraceStop(), 0);
    CheckFileMatches("one.log", 0, "^" HEADER STOP "$");
    CheckFileMatches("two.log", 0, "^" HEADER "second\n" STOP "$");
}

static void LevelRejectsUnknownModules(void) {
    static const int Modules[] = {-1, KAVO_TRACE_MODULE_COUNT, INT_MAX};
    for (size_t i = 0; i < sizeof Modules / sizeof Modules[0]; ++i)
        CHECK_INT(Kavo.TraceLevel(Modules[i], 5), 106);
    for (int module = 0; module < KAVO_TRACE_MODULE_COUNT; ++module)
        CHECK_INT(Kavo.TraceEnabled[module], 0);
    CHECK_INT(Kavo.TraceLevel(13, -2), 0);
    CHECK_INT(Kavo.TraceEnabled[13], -2);
}

/* Module names are configuration keys: single words, distinct without regard to case. */
static void ModuleNamesAreDistinctWords(void) {
    CHECK_TEXT(Kavo.TraceModuleNames[10], "Bluetooth");
    for (int i = 0; i < KAVO_TRACE_MODULE_COUNT; ++i) {
        CHECK(strpbrk(Kavo.TraceModuleNames[i], " \t=#") == NULL && Kavo.TraceModuleNames[i][0] != '\0');
        CHECK(strcasecmp(Kavo.TraceModuleNames[i], "TraceFile") != 0);
        for (int j = 0; j < i; ++j)
            CHECK(strcasecmp(Kavo.TraceModuleNames[i], Kavo.TraceModuleNames[j]) != 0);
    }
}

static void TagCarriesTimeModuleRoutineAndLine(void) {
    CHECK_INT(Kavo.TraceStart("tag.log"), 0);
    time_t before = time(NULL);
    Kavo.TracePrintTag(10, "BTPerformDiscovery", 459);
    time_t after = time(NULL);
    Kavo.TracePrintf("Start scan");
    Kavo.TracePrintf("\n");
    Kavo.TracePrintTag(KAVO_TRACE_MODULE_COUNT, "Outside", 1);
    Kavo.TracePrintf("\n");
    char* text = KavoReadFile("tag.log", 0);
    const char* tag = strstr(text, "Version: 4.5.0.2\n") + strlen("Version: 4.5.0.2\n");
    char expected[2][100];
    time_t moments[2] = {before, after};
    for (int i = 0; i < 2; ++i) {
        struct tm utc;
        gmtime_r(&moments[i], &utc);
        strftime(expected[i], sizeof expected[i],
                 "%a %b %d %H:%M:%S %Y [Bluetooth]BTPerformDiscovery:459 Start scan\n", &utc);
    }
    size_t length = strlen(expected[0]);
    if (strncmp(tag, expected[0], length) != 0 && strncmp(tag, expected[1], length) != 0)
        KavoCheckFailed(__FILE__, __LINE__, "tagged line \"%.*s\", expected \"%s\"", (int)length, tag,
                        expected[0]);
    CHECK(KavoMatches(tag + length, "^" TIME " \\[14\\]Outside:1 \n$"));
    free(text);
}

static void PrintsWithoutFileGoToStdout(void) {
    KavoCaptureStdout();
    Kavo.TracePrintf("%s=%d\n", "value", 12);
    Kavo.TracePrintTag(7, "Routine", 3);
    char* captured = KavoCapturedStdout();
    CHECK(KavoMatches(captured, "^value=12\n" TIME " \\[Kavo\\]Routine:3 $"));
    free(captured);
}

/* The length is checked on every 1000th print only, and only a file past the maximum stops tracing. */
static void LimitLineOnThousandthPrintPastMaximum(void) {
    MakeSparseFile("big.log", MaximumLength);
    CHECK_INT(Kavo.TraceStart("big.log"), 0);
    PrintLines(999);
    long long beforeCheck = FileSize("big.log");
    Kavo.TracePrintf("thousandth\n");
    Kavo.TracePrintf("dropped\n");
    CHECK_INT(FileSize("big.log"), beforeCheck + (long long)strlen("thousandth\n" LIMIT_LINE));
    CHECK_INT(Kavo.TraceStop(), 0);
    char* tail = KavoReadFile("big.log", beforeCheck);
    CHECK(KavoMatches(tail, "^thousandth\n" LIMIT_LINE STOP "$"));
    free(tail);

    /* The state outlives the file: a new file gets its header, prints go nowhere, not even stdout. */
    CHECK_INT(Kavo.TraceStart("after.log"), 0);
    KavoCaptureStdout();
    PrintLines(2000);
    Kavo.TracePrintTag(10, "Dropped", 1);
    CHECK_INT(Kavo.TraceStop(), 0);
    Kavo.TracePrintf("dropped\n");
    char* captured = KavoCapturedStdout();
    CHECK_TEXT(captured, "");
    free(captured);
    CheckFileMatches("after.log", 0, "^" HEADER STOP "$");
}

/* A file that crosses the maximum between two checks is traced on up to the next 1000th print. */
static void LimitWaitsForNextCheck(void) {
    MakeSparseFile("big.log", MaximumLength - 10000);
    CHECK_INT(Kavo.TraceStart("big.log"), 0);
    PrintLines(1999);
    long long size = FileSize("big.log");
    CHECK(size > MaximumLength);
    char* tail = KavoReadFile("big.log", MaximumLength - 10000);
    CHECK(strstr(tail, LIMIT_LINE) == NULL);
    free(tail);
    Kavo.TracePrintf("2000th\n");
    tail = KavoReadFile("big.log", size);
    CHECK_TEXT(tail, "2000th\n" LIMIT_LINE);
    free(tail);
}

/* A reset keeps the content but restarts the count, so the check is again 1000 prints away. */
static void ResetRestartsCountWithoutShortening(void) {
    MakeSparseFile("big.log", MaximumLength + 1);
    CHECK_INT(Kavo.TraceStart("big.log"), 0);
    PrintLines(999);
    long long size = FileSize("big.log");
    CHECK_INT(Kavo.TraceReset(), 0);
    CHECK_INT(FileSize("big.log"), size);
    PrintLines(999);
    char* tail = KavoReadFile("big.log", size);
    CHECK(strstr(tail, LIMIT_LINE) == NULL);
    free(tail);
    Kavo.TracePrintf("last\n");
    tail = KavoReadFile("big.log", FileSize("big.log") - (long long)strlen("last\n" LIMIT_LINE));
    CHECK_TEXT(tail, "last\n" LIMIT_LINE);
    free(tail);
    CHECK_INT(Kavo.TraceStop(), 0);
    CHECK_INT(Kavo.TraceReset(), 0);
}

const KavoCase KavoTraceCases[] = {
    {"MissingConfigurationAppendsHeaderOnly", MissingConfigurationAppendsHeaderOnly},
    {"NullPathReadsTraceConf", NullPathReadsTraceConf},
    {"LevelHoldsBackHigherThresholds", LevelHoldsBackHigherThresholds},
    {"LevelTextsConvertAsNumbers", LevelTextsConvertAsNumbers},
    {"SecondLoadKeepsFileAndAppliesLevels", SecondLoadKeepsFileAndAppliesLevels},
    {"UnusableTraceFileLoadsNoLevels", UnusableTraceFileLoadsNoLevels},
    {"EmptyNameStopsOpenFile", EmptyNameStopsOpenFile},
    {"StartReplacesOpenFile", StartReplacesOpenFile},
    {"LevelRejectsUnknownModules", LevelRejectsUnknownModules},
    {"ModuleNamesAreDistinctWords", ModuleNamesAreDistinctWords},
    {"TagCarriesTimeModuleRoutineAndLine", TagCarriesTimeModuleRoutineAndLine},
    {"PrintsWithoutFileGoToStdout", PrintsWithoutFileGoToStdout},
    {"LimitLineOnThousandthPrintPastMaximum", LimitLineOnThousandthPrintPastMaximum},
    {"LimitWaitsForNextCheck", LimitWaitsForNextCheck},
    {"ResetRestartsCountWithoutShortening", ResetRestartsCountWithoutShortening},
    {NULL, NULL},
};
