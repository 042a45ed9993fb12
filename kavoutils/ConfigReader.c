/* ReadConfig: looks up one key in a file of "key = value" lines and returns its value from one
 * process-wide buffer, or the caller's default. */
#include "kavoutils.h"

#include <stdbool.h>
#include <stdio.h>
#include <string.h>

enum { LineSize = 1024 };

/* Holds the line being read and, after a match, the returned value until the next call. */
static char LineBuffer[LineSize];

static bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

static bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

static char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

static bool SameKey(const char* word, const char* key) {
    for (; *word != '\0' && *key != '\0'; ++word, ++key)
        if (AsciiLower(*word) != AsciiLower(*key))
            return false;
    return *word == *key;
}

/* Reads at most LineSize - 1 characters up to and including a line feed. A carriage return before a
 * line feed is dropped, so a file written with CR LF line ends reads like one with LF. */
static bool ReadLine(FILE* file, char* line) {
    size_t length = 0;
    while (length < LineSize - 1) {
        int c = getc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            int next = getc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                ungetc(next, file);
        }
        line[length++] = (char)c;
        if (c == '\n')
            break;
    }
    line[length] = '\0';
    return length > 0;
}

/* The first word of the key part into WORD; false when the part holds none. */
static bool FirstWord(const char* part, char* word) {
    while (IsWhiteSpace(*part))
        ++part;
    size_t length = 0;
    while (part[length] != '\0' && !IsWhiteSpace(part[length]) && length < LineSize - 1) {
        word[length] = part[length];
        ++length;
    }
    word[length] = '\0';
    return length > 0;
}

/* Leading blanks and tabs skipped; trailing blanks, tabs and line feeds removed, but never the
 * value's first character, so a value of only a line feed stays as it is. */
static char* TrimValue(char* value) {
    while (IsBlankOrTab(*value))
        ++value;
    size_t length = strlen(value);
    while (length > 1 && (IsBlankOrTab(value[length - 1]) || value[length - 1] == '\n'))
        value[--length] = '\0';
    return value;
}

const char* ReadConfig(const char* fileName, const char* key, const char* defaultValue) {
    if (fileName == NULL || key == NULL)
        return defaultValue;
    FILE* file = fopen(fileName, "r");
    if (file == NULL)
        return defaultValue;
    const char* result = defaultValue;
    char word[LineSize];
    while (ReadLine(file, LineBuffer)) {
        char* comment = strchr(LineBuffer, '#');
        if (comment != NULL)
            *comment = '\0';
        char* equals = strchr(LineBuffer, '=');
        if (equals == NULL)
            continue;
        *equals = '\0';
        if (!FirstWord(LineBuffer, word) || !SameKey(word, key))
            continue;
        result = TrimValue(equals + 1);
        break;
    }
    fclose(file);
    return result;
}
