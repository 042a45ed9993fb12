/* Cases of the hash table: bucket placement by the stored hash, duplicate keys, the walk order and
 * clearing. */
#define _GNU_SOURCE
#include "KavoCase.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MaximumVisits = 16 };

static struct {
    uintptr_t Value;
    char Key[8];
    int32_t KeyLength;
} Visits[MaximumVisits];
static int VisitCount;

static void Visit(uintptr_t value, const unsigned char* key, int32_t keyLength) {
    if (VisitCount == MaximumVisits)
        return;
    Visits[VisitCount].Value = value;
    memcpy(Visits[VisitCount].Key, key, (size_t)keyLength < sizeof Visits[0].Key ? (size_t)keyLength : 0);
    Visits[VisitCount].KeyLength = keyLength;
    ++VisitCount;
}

static int32_t Length(const char* key) {
    return (int32_t)strlen(key);
}

/* The library keeps tables for the life of the process; the cases free theirs for the leak check. */
static void Discard(HashTable* table) {
    Kavo.ClearHashTable(table, NULL);
    free(table->Buckets);
    free(table);
}

/* Reference hashes: bytes from 0x80 count as negative, and a negative running hash shifts its sign in. */
static void KeysLandInTheirHashBucket(void) {
    static const struct {
        const char* Key;
        uint32_t Hash;
    } Cases[] = {{"abc", 4171},
                 {"ABC", 4755},
                 {"", 0},
                 {"\xE9", 0x3FFFFFE9u},
                 {"ab", 514},
                 {"\xE9"
                  "a",
                  1073741696u},
                 {"Bluetooth discovery", 708443923u}};
    const uint32_t bucketCount = 5003;
    HashTable* table = Kavo.CreateHashTable(bucketCount);
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i) {
        CHECK_INT(Kavo.InsertRecord(table, i + 1, Cases[i].Key, Length(Cases[i].Key)), 0);
        HashRecord* head = table->Buckets[Cases[i].Hash % bucketCount];
        if (head == NULL || head->Value != i + 1)
            fprintf(stderr, "key \"%s\" not in bucket %u\n", Cases[i].Key, Cases[i].Hash % bucketCount);
        CHECK(head != NULL && head->Value == i + 1 && head->KeyLength == Length(Cases[i].Key));
    }
    for (size_t i = 0; i < sizeof Cases / sizeof Cases[0]; ++i)
        CHECK_INT(Kavo.FindRecord(table, Cases[i].Key, Length(Cases[i].Key)), i + 1);
    Discard(table);
}

static void DuplicateKeysStackNewestFirst(void) {
    static const uint32_t BucketCounts[] = {1, 7};
    for (size_t i = 0; i < 2; ++i) {
        HashTable* table = Kavo.CreateHashTable(BucketCounts[i]);
        CHECK_INT(Kavo.InsertRecord(table, 1, "key", 3), 0);
        CHECK_INT(Kavo.InsertRecord(table, 2, "key", 3), 0);
        CHECK_INT(Kavo.InsertRecord(table, 3, "other", 5), 0);
        CHECK_INT(Kavo.FindRecord(table, "key", 3), 2);
        Kavo.RemoveRecord(table, "key", 3);
        CHECK_INT(Kavo.FindRecord(table, "key", 3), 1);
        Kavo.RemoveRecord(table, "key", 3);
        CHECK_INT(Kavo.FindRecord(table, "key", 3), 0);
        Kavo.RemoveRecord(table, "key", 3);
        CHECK_INT(Kavo.FindRecord(table, "other", 5), 3);
        Discard(table);
    }
}

/* Length and letter case are part of a key; values are pointer-sized. */
static void KeysDifferByLengthAndCase(void) {
    HashTable* table = Kavo.CreateHashTable(1);
    CHECK_INT(Kavo.InsertRecord(table, 1, "ab", 2), 0);
    CHECK_INT(Kavo.InsertRecord(table, UINTPTR_MAX, "abc", 3), 0);
    CHECK_INT(Kavo.FindRecord(table, "ab", 2), 1);
    CHECK(Kavo.FindRecord(table, "abc", 3) == UINTPTR_MAX);
    CHECK_INT(Kavo.FindRecord(table, "ABC", 3), 0);
    CHECK_INT(Kavo.FindRecord(table, "a", 1), 0);
    Kavo.RemoveRecord(table, "AB", 2);
    CHECK_INT(Kavo.FindRecord(table, "ab", 2), 1);
    Discard(table);
}

/* Buckets 0 and 1 of a 3-bucket table: ABC (4755) and the empty key in 0, abc (4171) in 1. */
static HashTable* ThreeRecords(void) {
    HashTable* table = Kavo.CreateHashTable(3);
    Kavo.InsertRecord(table, 1, "ABC", 3);
    Kavo.InsertRecord(table, 2, "", 0);
    Kavo.InsertRecord(table, 3, "abc", 3);
    return table;
}

static void IteratorWalksBucketsNewestFirst(void) {
    HashTable* table = ThreeRecords();
    HashIterator iterator;
    CHECK_INT(Kavo.InitializeHashIterator(table, &iterator), 0);
    static const uintptr_t Expected[] = {2, 1, 3, 0, 0};
    for (size_t i = 0; i < sizeof Expected / sizeof Expected[0]; ++i)
        CHECK_INT(Kavo.HashInteratorNext(&iterator), Expected[i]);
    Discard(table);
}

static void ClearCallsBackOncePerRecord(void) {
    HashTable* table = ThreeRecords();
    Kavo.ClearHashTable(table, Visit);
    CHECK_INT(VisitCount, 3);
    static const uintptr_t Values[] = {2, 1, 3};
    static const char* const Keys[] = {"", "ABC", "abc"};
    for (int i = 0; i < VisitCount; ++i) {
        CHECK_INT(Visits[i].Value, Values[i]);
        CHECK_INT(Visits[i].KeyLength, Length(Keys[i]));
        CHECK_BYTES((const unsigned char*)Visits[i].Key, Keys[i], strlen(Keys[i]));
    }
    CHECK_INT(Kavo.FindRecord(table, "abc", 3), 0);
    HashIterator iterator;
    Kavo.InitializeHashIterator(table, &iterator);
    CHECK_INT(Kavo.HashInteratorNext(&iterator), 0);
    Kavo.ClearHashTable(table, NULL);
    CHECK_INT(Kavo.InsertRecord(table, 9, "abc", 3), 0);
    CHECK_INT(Kavo.FindRecord(table, "abc", 3), 9);
    Discard(table);
}

static void EmptyTableWalkEndsAtOnce(void) {
    HashTable* table = Kavo.CreateHashTable(4);
    HashIterator iterator;
    Kavo.InitializeHashIterator(table, &iterator);
    CHECK_INT(Kavo.HashInteratorNext(&iterator), 0);
    CHECK_INT(Kavo.HashInteratorNext(&iterator), 0);
    Discard(table);
}

/* A table without buckets could hold nothing: it is refused instead of dividing by zero later. */
static void ZeroBucketsRefused(void) {
    CHECK(Kavo.CreateHashTable(0) == NULL);
}

const KavoCase KavoHashCases[] = {
    {"KeysLandInTheirHashBucket", KeysLandInTheirHashBucket},
    {"DuplicateKeysStackNewestFirst", DuplicateKeysStackNewestFirst},
    {"KeysDifferByLengthAndCase", KeysDifferByLengthAndCase},
    {"IteratorWalksBucketsNewestFirst", IteratorWalksBucketsNewestFirst},
    {"ClearCallsBackOncePerRecord", ClearCallsBackOncePerRecord},
    {"EmptyTableWalkEndsAtOnce", EmptyTableWalkEndsAtOnce},
    {"ZeroBucketsRefused", ZeroBucketsRefused},
    {NULL, NULL},
};
