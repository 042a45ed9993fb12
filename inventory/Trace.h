// The program's trace statements. Every traced routine of the program writes under module 10
// ("Bluetooth") of the KavoUtils trace facility; the level is tested before anything is formatted,
// so a statement whose level is off costs one load and one comparison.
#pragma once

#include "kavoutils.h"

namespace orvelle {

inline constexpr int TraceModule = 10;

// True when the program's trace level lets statements of THRESHOLD through. The level is read
// atomically: the library may change it from another thread.
inline bool TraceOn(int threshold) {
    return __atomic_load_n(&TraceEnabled[TraceModule], __ATOMIC_RELAXED) >= threshold;
}

} // namespace orvelle

// A tagged statement: the tag with ROUTINE and the source LINE as they are to appear in the trace
// file, the message formatted as by printf, then the line end.
#define ORVELLE_TRACE(threshold, routine, line, ...)                                                         \
    do {                                                                                                     \
        if (::orvelle::TraceOn(threshold)) {                                                                 \
            TracePrintTag(::orvelle::TraceModule, routine, line);                                            \
            TracePrintf(__VA_ARGS__);                                                                        \
            TracePrintf("\n");                                                                               \
        }                                                                                                    \
    } while (0)

// The entry and exit lines of ROUTINE, written at level 1 and above.
#define ORVELLE_TRACE_ENTER(routine)                                                                         \
    do {                                                                                                     \
        if (::orvelle::TraceOn(1))                                                                           \
            TracePrintf("[%s]%s Enter\n", TraceModuleNames[::orvelle::TraceModule], routine);                \
    } while (0)
#define ORVELLE_TRACE_EXIT(routine)                                                                          \
    do {                                                                                                     \
        if (::orvelle::TraceOn(1))                                                                           \
            TracePrintf("[%s]%s Exit\n", TraceModuleNames[::orvelle::TraceModule], routine);                 \
    } while (0)
