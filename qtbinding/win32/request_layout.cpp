// The 32-bit layout of the component request block, as QuickTime for Windows
// reads it: flags at 0, parameter size at 1, what at 2, 32-bit parameters from
// offset 4, so five parameters make a 24-byte block. Checked by every 32-bit
// build of the binding; 64-bit builds use pointer-sized slots instead. Also
// the file specification as QuickTime fills it.
#include <cstddef>

#include "qtbinding/toolbox.h"

#if !defined(_WIN64) && !defined(__x86_64__)
static_assert(sizeof(void*) == 4, "32-bit build");
static_assert(sizeof(ComponentParameters) == 24, "five parameters make a 24-byte block");
static_assert(offsetof(ComponentParameters, flags) == 0, "flags at offset 0");
static_assert(offsetof(ComponentParameters, paramSize) == 1, "parameter size at offset 1");
static_assert(offsetof(ComponentParameters, what) == 2, "what at offset 2");
static_assert(offsetof(ComponentParameters, params) == 4, "first parameter at offset 4");
static_assert(sizeof(ComponentParamSlot) == 4, "32-bit parameter slots");
static_assert(5 * sizeof(ComponentParamSlot) == 20, "parameter size 20 for five parameters");
static_assert(3 * sizeof(ComponentParamSlot) == 12, "parameter size 12 for three parameters");
static_assert(sizeof(FSSpec) == 262, "file specification of 262 bytes");
static_assert(offsetof(FSSpec, vRefNum) == 0, "vRefNum at offset 0");
static_assert(offsetof(FSSpec, parID) == 2, "parID at offset 2 (2-byte packing)");
static_assert(offsetof(FSSpec, name) == 6, "name at offset 6");
#endif
