/* A chained hash table from byte-string keys to pointer-sized values, with a fixed bucket count and
 * a caller-owned iterator that walks the buckets in order, newest record first within a bucket. */
#include "kavoutils.h"

#include <stdlib.h>
#include <string.h>

enum { StatusNoMemory = 102, StatusInvalid = 106 };

/* Bytes 0x80 to 0xFF count as negative characters and lower-case letters are moved down by 40, as
 * the stored hashes of existing callers expect; arithmetic wraps on 32 bits. */
static uint32_t HashOf(const unsigned char* key, int32_t length) {
    uint32_t hash = 0;
    for (int32_t i = 0; i < length; ++i) {
        int32_t c = key[i] < 0x80 ? key[i] : key[i] - 0x100;
        if (c >= 0x60)
            c -= 40;
        uint32_t signCopy = (hash & 0x80000000u) != 0 ? 0xFFFFFFF0u : 0;
        hash = (hash << 3) + ((hash >> 28) | signCopy) + (uint32_t)c;
    }
    return hash & 0x3FFFFFFFu;
}

static HashRecord** BucketOf(HashTable* table, const void* key, int32_t length) {
    return &table->Buckets[HashOf(key, length) % table->BucketCount];
}

static int Matches(const HashRecord* record, const void* key, int32_t length) {
    return record->KeyLength == length && (length == 0 || memcmp(record->Key, key, (size_t)length) == 0);
}

/* Tables are never freed, as callers keep them for the life of the process. */
HashTable* CreateHashTable(uint32_t bucketCount) {
    if (bucketCount == 0)
        return NULL;
    HashTable* table = malloc(sizeof *table);
    if (table == NULL)
        return NULL;
    table->Buckets = calloc(bucketCount, sizeof *table->Buckets);
    if (table->Buckets == NULL) {
        free(table);
        return NULL;
    }
    table->BucketCount = bucketCount;
    return table;
}

uintptr_t FindRecord(HashTable* table, const void* key, int32_t keyLength) {
    if (table == NULL || keyLength < 0)
        return 0;
    for (HashRecord* record = *BucketOf(table, key, keyLength); record != NULL; record = record->Next)
        if (Matches(record, key, keyLength))
            return record->Value;
    return 0;
}

int InsertRecord(HashTable* table, uintptr_t value, const void* key, int32_t keyLength) {
    if (table == NULL || keyLength < 0 || (key == NULL && keyLength > 0))
        return StatusInvalid;
    HashRecord* record = malloc(sizeof *record);
    /* At least one byte, so that an empty key's copy is never mistaken for a failed allocation. */
    unsigned char* copy = malloc(keyLength > 0 ? (size_t)keyLength : 1);
    if (record == NULL || copy == NULL) {
        free(record);
        free(copy);
        return StatusNoMemory;
    }
    if (keyLength > 0)
        memcpy(copy, key, (size_t)keyLength);
    record->Key = copy;
    record->KeyLength = keyLength;
    record->Value = value;
    HashRecord** head = BucketOf(table, key, keyLength);
    record->Next = *head;
    *head = record;
    return 0;
}

void RemoveRecord(HashTable* table, const void* key, int32_t keyLength) {
    if (table == NULL || keyLength < 0)
        return;
    for (HashRecord** link = BucketOf(table, key, keyLength); *link != NULL; link = &(*link)->Next) {
        HashRecord* record = *link;
        if (Matches(record, key, keyLength)) {
            *link = record->Next;
            free(record->Key);
            free(record);
            return;
        }
    }
}

void ClearHashTable(HashTable* table, HashClearCallback callback) {
    if (table == NULL)
        return;
    for (uint32_t bucket = 0; bucket < table->BucketCount; ++bucket) {
        HashRecord* record = table->Buckets[bucket];
        while (record != NULL) {
            HashRecord* next = record->Next;
            if (callback != NULL)
                callback(record->Value, record->Key, record->KeyLength);
            free(record->Key);
            free(record);
            record = next;
        }
        table->Buckets[bucket] = NULL;
    }
}

int InitializeHashIterator(HashTable* table, HashIterator* iterator) {
    iterator->Table = table;
    iterator->Bucket = -1;
    iterator->Current = NULL;
    return 0;
}

uintptr_t HashInteratorNext(HashIterator* iterator) {
    if (iterator->Table == NULL)
        return 0;
    if (iterator->Current != NULL)
        iterator->Current = iterator->Current->Next;
    while (iterator->Current == NULL) {
        /* At the end the bucket index stays put, so further calls keep returning 0. */
        int64_t next = (int64_t)iterator->Bucket + 1;
        if (next >= (int64_t)iterator->Table->BucketCount || next > INT32_MAX)
            return 0;
        iterator->Bucket = (int32_t)next;
        iterator->Current = iterator->Table->Buckets[next];
    }
    return iterator->Current->Value;
}
