#include "movie/byte_cursor.h"

ByteCursor MakeCursor(const void* data, size_t size) {
    ByteCursor c;
    c.data = static_cast<const uint8_t*>(data);
    c.size = data ? size : 0;
    return c;
}

uint16_t LoadU16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t LoadU32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint64_t LoadU64(const uint8_t* p) { return (uint64_t(LoadU32(p)) << 32) | LoadU32(p + 4); }

bool Skip(ByteCursor* c, uint64_t count) {
    if (count > Remaining(*c)) return false;
    c->pos += size_t(count);
    return true;
}

bool ReadU8(ByteCursor* c, uint8_t* v) {
    if (Remaining(*c) < 1) return false;
    *v = c->data[c->pos++];
    return true;
}

bool ReadU16(ByteCursor* c, uint16_t* v) {
    if (Remaining(*c) < 2) return false;
    *v = LoadU16(c->data + c->pos);
    c->pos += 2;
    return true;
}

bool ReadU24(ByteCursor* c, uint32_t* v) {
    if (Remaining(*c) < 3) return false;
    const uint8_t* p = c->data + c->pos;
    *v = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    c->pos += 3;
    return true;
}

bool ReadU32(ByteCursor* c, uint32_t* v) {
    if (Remaining(*c) < 4) return false;
    *v = LoadU32(c->data + c->pos);
    c->pos += 4;
    return true;
}

bool ReadU64(ByteCursor* c, uint64_t* v) {
    if (Remaining(*c) < 8) return false;
    *v = LoadU64(c->data + c->pos);
    c->pos += 8;
    return true;
}

bool TakeCursor(ByteCursor* c, uint64_t count, ByteCursor* sub) {
    if (count > Remaining(*c)) return false;
    *sub = MakeCursor(c->data + c->pos, size_t(count));
    c->pos += size_t(count);
    return true;
}

bool FitsEntries(const ByteCursor& c, uint64_t count, uint64_t entrySize) {
    if (entrySize == 0) return true;
    return count <= Remaining(c) / entrySize;
}
