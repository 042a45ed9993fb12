/* Cases of the configuration reader's line rules. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <stdio.h>
#include <string.h>

static const char* const Default = "default";

static void LineRules(void) {
    static const struct {
        const char* Content;
        const char* Key;
        const char* Value;
    } Cases[] = {
        {"Bluetooth = 100   # trace everything\n", "Bluetooth", "100"},
        {"Bluetooth = 100   # trace everything\n", "BLUETOOTH", "100"},
        {"TraceFile=/var/log/a=b.log\n", "TraceFile", "/var/log/a=b.log"},
        {"Bluetooth level = 5\n", "Bluetooth", "5"},
        {"Key =  \t\nOther=1\n", "Key", "\n"},
        {"Other=1\nKey = \t ", "Key", ""},
        {"Key=first\nKey=second\n", "Key", "first"},
        {"Key = windows line \r\nOther=1\r\n", "Key", "windows line"},
        {"# Key=commented out\nKey=real\n", "Key", "real"},
        {"Key=before#after\n", "Key", "before"},
        {"\t Key\t=\tvalue\twith blanks \t\n", "Key", "value\twith blanks"},
        {"Key\n\n= orphan\nKey=found\n", "Key", "found"},
        {"KeyLonger=1\nKe=2\n", "Key", Default},
        {"Key#=hidden\n", "Key", Default},
        {"", "Key", Default},
    };
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        KavoWriteFile("case.conf", Cases[i].Content);
        const char* value = Kavo.ReadConfig("case.conf", Cases[i].Key, Default);
        if (value == NULL || strcmp(value, Cases[i].Value) != 0)
            fprintf(stderr, "file \"%s\", key %s\n", Cases[i].Content, Cases[i].Key);
        CHECK_TEXT(value, Cases[i].Value);
    }
}

/* A line longer than 1023 characters is read as several lines. */
static void LongLineReadInPieces(void) {
    char content[1100];
    memset(content, 'x', 1023);
    strcpy(content + 1023, "Key=tail\n");
    KavoWriteFile("case.conf", content);
    CHECK_TEXT(Kavo.ReadConfig("case.conf", "Key", Default), "tail");
}

static void MissingFileOrKeyGivesDefaultPointer(void) {
    CHECK(Kavo.ReadConfig("missing.conf", "Key", Default) == Default);
    CHECK(Kavo.ReadConfig("missing.conf", "Key", NULL) == NULL);
    KavoWriteFile("case.conf", "Other=1\n");
    CHECK(Kavo.ReadConfig("case.conf", "Key", Default) == Default);
    CHECK(Kavo.ReadConfig("case.conf", "Key", NULL) == NULL);
    CHECK(Kavo.ReadConfig(NULL, "Key", Default) == Default);
    CHECK(Kavo.ReadConfig("case.conf", NULL, Default) == Default);
}

const KavoCase KavoConfigCases[] = {
    {"LineRules", LineRules},
    {"LongLineReadInPieces", LongLineReadInPieces},
    {"MissingFileOrKeyGivesDefaultPointer", MissingFileOrKeyGivesDefaultPointer},
    {NULL, NULL},
};
