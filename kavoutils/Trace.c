/* The trace facility: one process-wide trace file, a level per module and the tag in front of each
 * traced line, with a length limit checked every 1000 prints. */
#include "kavoutils.h"

#include <limits.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <time.h>

enum {
    StatusInvalid = 106,
    StatusCannotOpen = 120,
    ChecksEvery = 1000,
    TimeTextSize = 80,
};

static const off_t MaximumFileLength = 500000000;

/* Levels are written and read with __atomic builtins: callers on any thread read them directly. */
int TraceEnabled[KAVO_TRACE_MODULE_COUNT];

/* The names serve as configuration keys, so each is one word, distinct without regard to case. */
const char* TraceModuleNames[KAVO_TRACE_MODULE_COUNT] = {
    "General", "Startup",   "Config",   "Session",   "Storage",   "Database",  "Network",
    "Kavo",    "Discovery", "Services", "Bluetooth", "Interface", "Inventory", "Tools",
};

/* Opened, replaced and closed only while no other thread traces; printing only reads it. */
static FILE* TraceFile;

/* Shared by every tracing thread without a lock; a lost increment would only move the next check. */
static atomic_uint PrintCount;
static atomic_bool LengthExceeded;

/* The current local time as "Tue Sep 06 16:28:46 2005", independent of the process's locale. */
static void FormatTimeText(char* text, size_t size) {
    static const char* const DayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    time_t now = time(NULL);
    struct tm local;
    if (localtime_r(&now, &local) == NULL) {
        snprintf(text, size, "?");
        return;
    }
    snprintf(text, size, "%s %s %02d %02d:%02d:%02d %d", DayNames[local.tm_wday], MonthNames[local.tm_mon],
             local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
}

/* The configured value as atol reads it, kept within the range of a level. */
static int LevelOf(const char* text) {
    long value = strtol(text, NULL, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return (int)value;
}

int TraceLoadConfiguration(const char* path) {
    if (path == NULL)
        path = "trace.conf";
    if (TraceFile == NULL) {
        int status = TraceStart(ReadConfig(path, "TraceFile", "trace.log"));
        if (status != 0)
            return status;
    }
    for (int module = 0; module < KAVO_TRACE_MODULE_COUNT; ++module)
        TraceLevel(module, LevelOf(ReadConfig(path, TraceModuleNames[module], "0")));
    return 0;
}

int TraceStart(const char* name) {
    if (TraceFile != NULL)
        TraceStop();
    if (name == NULL || name[0] == '\0')
        return StatusInvalid;
    TraceFile = fopen(name, "a+b");
    if (TraceFile == NULL)
        return StatusCannotOpen;
    char now[TimeTextSize];
    FormatTimeText(now, sizeof now);
    fprintf(TraceFile, "Started Tracing %s\n", now);
    fprintf(TraceFile, "Version: %d.%d.%d.%d\n", 4, 5, 0, 2);
    /* Flushed at once, like every print, so that the file is complete if the process dies. */
    fflush(TraceFile);
    return 0;
}

int TraceStop(void) {
    if (TraceFile == NULL)
        return StatusInvalid;
    char now[TimeTextSize];
    FormatTimeText(now, sizeof now);
    fprintf(TraceFile, "Stopped Tracing %s\n", now);
    fclose(TraceFile);
    TraceFile = NULL;
    return 0;
}

int TraceReset(void) {
    if (TraceFile != NULL) {
        /* The file is appended to, so this only restarts the count to the next length check. */
        fseeko(TraceFile, 0, SEEK_SET);
        atomic_store_explicit(&PrintCount, 0, memory_order_relaxed);
    }
    return 0;
}

int TraceLevel(int module, int level) {
    if (module < 0 || module >= KAVO_TRACE_MODULE_COUNT)
        return StatusInvalid;
    __atomic_store_n(&TraceEnabled[module], level, __ATOMIC_RELAXED);
    return 0;
}

void TracePrintTag(int module, const char* routine, int line) {
    char now[TimeTextSize];
    FormatTimeText(now, sizeof now);
    /* An unknown module number is written as a number instead of reading past the name table. */
    if (module >= 0 && module < KAVO_TRACE_MODULE_COUNT)
        TracePrintf("%s [%s]%s:%d ", now, TraceModuleNames[module], routine != NULL ? routine : "", line);
    else
        TracePrintf("%s [%d]%s:%d ", now, module, routine != NULL ? routine : "", line);
}

void TracePrintf(const char* format, ...) {
    if (format == NULL || atomic_load_explicit(&LengthExceeded, memory_order_relaxed))
        return;
    va_list arguments;
    va_start(arguments, format);
    FILE* file = TraceFile;
    if (file == NULL) {
        vprintf(format, arguments);
        va_end(arguments);
        return;
    }
    vfprintf(file, format, arguments);
    va_end(arguments);
    fflush(file);
    unsigned count = atomic_fetch_add_explicit(&PrintCount, 1, memory_order_relaxed) + 1;
    if (count % ChecksEvery != 0)
        return;
    /* Appending leaves the position at the end, so it is the file's length. */
    if (ftello(file) > MaximumFileLength) {
        fputs("Stopped Tracing. Maximum file length exceeded\n", file);
        fflush(file);
        atomic_store_explicit(&LengthExceeded, 1, memory_order_relaxed);
    }
}
