// QtmlBinding: the one process-wide record of the binding to QuickTime.qts,
// read by every entry routine (entry_i686.S, entry_x86_64.S) and changed by
// QTML start-up and shut-down (qtml.cpp).
//
// This header is also included by the assembly files: only the field offsets
// are visible there.
#pragma once

// Field offsets, used by the entry routines. Pointer-sized fields; the start-up
// count is 32-bit and padded to a pointer slot on 64-bit builds.
#if defined(__x86_64__) || defined(_WIN64)
#define QTML_BINDING_BIND_HOOK 16
#define QTML_BINDING_DISPATCHER 40
#else
#define QTML_BINDING_BIND_HOOK 8
#define QTML_BINDING_DISPATCHER 20
#endif

#ifndef __ASSEMBLER__

#include <cstddef>
#include <cstdint>

#include "qtbinding/toolbox.h"

extern "C" {

// A routine that takes nothing: the bind hook, and the type the entry points
// are held as (they are only ever jumped to by the entry routines).
typedef OSErr (*QtmlRoutine)(void);

struct QtmlBindingRecord {
    void* module;        // the loaded QuickTime.qts (HMODULE), or null
    int32_t startupCount;  // successful start-ups not yet matched by a shut-down
    QtmlRoutine bindHook;  // run by every entry routine before it dispatches, or null
    QtmlRoutine callComponentFunctionWithStorage;  // "_CallComponentFunctionWithStorage"
    QtmlRoutine callComponent;                     // "_CallComponent"
    QtmlRoutine dispatcher;                        // "theQuickTimeDispatcher"
};

extern QtmlBindingRecord QtmlBinding;

// Stands in every entry point while nothing is bound: returns -2095.
OSErr QtmlNotBound(void);
// Looks the three exports up in the held module: 0, or -2094 at the first missing one.
OSErr BindQtmlEntryPoints(void);

// QuickTime's own QTML start-up (0x001D0008) and shut-down (0x001D0009),
// reached through entry routines like every other operation.
OSErr QtmlStartupRoutine(int32_t flags);
void QtmlShutdownRoutine(void);

// The Toolbox form of the next-interesting-time operation (0x0002045F): each
// argument is passed by address. GetMediaNextInterestingDecodeTime wraps it.
void QtmlNextInterestingTimeRoutine(Media* theMedia, uint32_t* flags, TimeValue64* decodeTime,
                                    Fixed* rate, TimeValue64** interestingDecodeTime,
                                    TimeValue64** interestingDecodeDuration);

}  // extern "C"

static_assert(offsetof(QtmlBindingRecord, bindHook) == QTML_BINDING_BIND_HOOK,
              "entry routines read the bind hook at this offset");
static_assert(offsetof(QtmlBindingRecord, dispatcher) == QTML_BINDING_DISPATCHER,
              "entry routines read the dispatcher entry at this offset");

#endif  // __ASSEMBLER__
