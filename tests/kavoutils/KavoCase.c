/* Runner and checks of the C cases: binds the library's decorated names with dlsym and gives each case
 * a temporary directory of its own. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <ftw.h>
#include <regex.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

KavoApi Kavo;

static int Failures;
static int SavedStdout = -1;
static const char* const CaptureName = "captured-stdout.txt";

static void* Bind(const char* name) {
    void* symbol = dlsym(RTLD_DEFAULT, name);
    if (symbol == NULL)
        KavoCheckFailed(__FILE__, __LINE__, "the library exports no %s", name);
    return symbol;
}

/* A function pointer is copied from dlsym's object pointer bytes, as POSIX allows. */
#define KAVO_BIND(name)                                                                                      \
    {                                                                                                        \
        void* symbol = Bind("_" #name);                                                                      \
        memcpy(&Kavo.name, &symbol, sizeof symbol);                                                          \
    }

static int RemoveEntry(const char* path, const struct stat* status, int flag, struct FTW* walk) {
    (void)status;
    (void)flag;
    (void)walk;
    return remove(path);
}

int KavoRunCase(const KavoCase* testCase) {
    KAVO_FUNCTIONS(KAVO_BIND)
    Kavo.TraceEnabled = Bind("_TraceEnabled");
    Kavo.TraceModuleNames = Bind("_TraceModuleNames");
    if (Failures != 0)
        return 1;
    const char* base = getenv("TMPDIR");
    char directory[4096];
    snprintf(directory, sizeof directory, "%s/kavoutils-XXXXXX", base != NULL ? base : "/tmp");
    if (mkdtemp(directory) == NULL || chdir(directory) != 0) {
        KavoCheckFailed(__FILE__, __LINE__, "no temporary directory %s", directory);
        return 1;
    }
    setenv("TZ", "UTC", 1);
    tzset();
    testCase->Run();
    if (chdir("/") == 0)
        nftw(directory, RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    return Failures == 0 ? 0 : 1;
}

void KavoCheckFailed(const char* file, int line, const char* format, ...) {
    ++Failures;
    fprintf(stderr, "%s:%d: check failed: ", file, line);
    va_list arguments;
    va_start(arguments, format);
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputc('\n', stderr);
}

void KavoCheckInt(const char* file, int line, const char* what, long long actual, long long expected) {
    if (actual != expected)
        KavoCheckFailed(file, line, "%s is %lld, expected %lld", what, actual, expected);
}

void KavoCheckText(const char* file, int line, const char* what, const char* actual, const char* expected) {
    if (actual == NULL || expected == NULL ? actual != expected : strcmp(actual, expected) != 0)
        KavoCheckFailed(file, line, "%s is \"%s\", expected \"%s\"", what, actual != NULL ? actual : "(null)",
                        expected != NULL ? expected : "(null)");
}

static void PrintBytes(const unsigned char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i)
        fprintf(stderr, " %02X", bytes[i]);
}

void KavoCheckBytes(const char* file, int line, const char* what, const unsigned char* actual,
                    const unsigned char* expected, size_t length) {
    if (memcmp(actual, expected, length) == 0)
        return;
    KavoCheckFailed(file, line, "%s differs", what);
    fputs("  actual:  ", stderr);
    PrintBytes(actual, length);
    fputs("\n  expected:", stderr);
    PrintBytes(expected, length);
    fputc('\n', stderr);
}

void KavoWriteFile(const char* name, const char* content) {
    FILE* file = fopen(name, "wb");
    if (file == NULL) {
        KavoCheckFailed(__FILE__, __LINE__, "cannot write %s", name);
        return;
    }
    fputs(content, file);
    fclose(file);
}

char* KavoReadFile(const char* name, long long offset) {
    FILE* file = fopen(name, "rb");
    if (file == NULL || fseeko(file, offset, SEEK_SET) != 0) {
        KavoCheckFailed(__FILE__, __LINE__, "cannot read %s", name);
        if (file != NULL)
            fclose(file);
        return calloc(1, 1);
    }
    size_t size = 0;
    size_t capacity = 4096;
    char* text = malloc(capacity);
    size_t got;
    while ((got = fread(text + size, 1, capacity - size - 1, file)) > 0) {
        size += got;
        if (capacity - size - 1 == 0)
            text = realloc(text, capacity *= 2);
    }
    text[size] = '\0';
    fclose(file);
    return text;
}

void KavoCaptureStdout(void) {
    fflush(stdout);
    SavedStdout = dup(STDOUT_FILENO);
    int file = open(CaptureName, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, STDOUT_FILENO);
    close(file);
}

char* KavoCapturedStdout(void) {
    fflush(stdout);
    dup2(SavedStdout, STDOUT_FILENO);
    close(SavedStdout);
    return KavoReadFile(CaptureName, 0);
}

int KavoMatches(const char* text, const char* pattern) {
    regex_t expression;
    if (regcomp(&expression, pattern, REG_EXTENDED | REG_NOSUB) != 0) {
        KavoCheckFailed(__FILE__, __LINE__, "bad pattern %s", pattern);
        return 0;
    }
    int matches = regexec(&expression, text, 0, NULL, 0) == 0;
    regfree(&expression);
    if (!matches)
        fprintf(stderr, "text \"%s\"\ndoes not match \"%s\"\n", text, pattern);
    return matches;
}
