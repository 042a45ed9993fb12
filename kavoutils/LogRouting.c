/* Log message routing: a message is formatted once, copied to the trace output and handed to the
 * host's log callback and database log callback, or printed with its level word. */
#include "kavoutils.h"

#include <stdio.h>

enum { MessageSize = 2000 };

/* Registered by the host before it logs from several threads; read without a lock. */
static KavoLogCallback LogCallback;
static uintptr_t LogUser;
static KavoDBLogCallback DBLogCallback;
static uintptr_t DBLogUser;

static const char* LevelWord(int level) {
    switch (level) {
    case 1:
        return "ERROR";
    case 2:
        return "WARNING";
    case 3:
        return "INFO";
    case 4:
        return "DEBUG";
    case 5:
        return "TRACE";
    default:
        return "UNKOWN";
    }
}

int KavoRegisterLogCallback(KavoLogCallback callback, uintptr_t user) {
    LogCallback = callback;
    LogUser = user;
    return 0;
}

int KavoGetLogCallback(KavoLogCallback* callback, uintptr_t* user) {
    if (callback != NULL)
        *callback = LogCallback;
    if (user != NULL)
        *user = LogUser;
    return 0;
}

int KavoRegisterDBLogCallback(KavoDBLogCallback callback, uintptr_t user) {
    DBLogCallback = callback;
    DBLogUser = user;
    return 0;
}

int KavoGetDBLogCallback(KavoDBLogCallback* callback, uintptr_t* user) {
    if (callback != NULL)
        *callback = DBLogCallback;
    if (user != NULL)
        *user = DBLogUser;
    return 0;
}

int KavoLogMessageV(int level, const char* format, va_list arguments) {
    char message[MessageSize] = "";
    if (format != NULL)
        vsnprintf(message, sizeof message, format, arguments);
    TracePrintf("[Log] %s\n", message);
    if (LogCallback != NULL)
        LogCallback(level, message, LogUser);
    if (DBLogCallback != NULL) {
        if (DBLogCallback(level, message, DBLogUser) == 0)
            return 0;
        return printf("Log not stored: %s\n", message);
    }
    printf("%s: %s\n", LevelWord(level), message);
    return fflush(stdout);
}

int KavoLogMessage(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int status = KavoLogMessageV(level, format, arguments);
    va_end(arguments);
    return status;
}

int KavoLogMessageLocalDB(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int status = KavoLogMessageV(level, format, arguments);
    va_end(arguments);
    return status;
}
