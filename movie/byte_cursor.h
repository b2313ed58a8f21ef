// A read cursor over a byte range with the remaining length: every read is
// clamped to what is left and fails instead of running past the end. Values
// are big-endian, as in every movie atom.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteCursor {
    const uint8_t* data = nullptr;
    size_t size = 0;  // bytes in the range
    size_t pos = 0;   // bytes consumed
};

ByteCursor MakeCursor(const void* data, size_t size);
inline size_t Remaining(const ByteCursor& c) { return c.size - c.pos; }

bool Skip(ByteCursor* c, uint64_t count);
bool ReadU8(ByteCursor* c, uint8_t* v);
bool ReadU16(ByteCursor* c, uint16_t* v);
bool ReadU24(ByteCursor* c, uint32_t* v);
bool ReadU32(ByteCursor* c, uint32_t* v);
bool ReadU64(ByteCursor* c, uint64_t* v);
// A sub-cursor over the next count bytes; the parent moves past them.
bool TakeCursor(ByteCursor* c, uint64_t count, ByteCursor* sub);
// True when count entries of entrySize bytes fit in what is left (no overflow).
bool FitsEntries(const ByteCursor& c, uint64_t count, uint64_t entrySize);

uint16_t LoadU16(const uint8_t* p);
uint32_t LoadU32(const uint8_t* p);
uint64_t LoadU64(const uint8_t* p);
