/* The library's own trace statements: they trace under module 7 and test its level before anything
 * is formatted, as every traced routine does. */
#ifndef KAVOUTILS_LIBRARY_TRACE_H
#define KAVOUTILS_LIBRARY_TRACE_H

#include "kavoutils.h"

enum { KavoLibraryModule = 7 };

/* Levels may be changed by another thread at any time, so they are read atomically. */
static inline int KavoTraceOn(int threshold) {
    return __atomic_load_n(&TraceEnabled[KavoLibraryModule], __ATOMIC_RELAXED) >= threshold;
}

/* A tagged statement: tag, message, line end. */
#define KAVO_TRACE(threshold, routine, ...)                                                                  \
    do {                                                                                                     \
        if (KavoTraceOn(threshold)) {                                                                        \
            TracePrintTag(KavoLibraryModule, routine, __LINE__);                                             \
            TracePrintf(__VA_ARGS__);                                                                        \
            TracePrintf("\n");                                                                               \
        }                                                                                                    \
    } while (0)

#endif
