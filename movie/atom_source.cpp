#include "movie/atom_source.h"

#include <algorithm>
#include <new>

namespace {

// The n bytes at offset, read into the buffer when the source is a file:
// from offset on, as far as readAheadEnd allows within the buffer's size, so
// that the headers and small atoms of one container come in one read. Null
// when they lie outside the source or cannot be read.
const uint8_t* SourceBytes(AtomSource* s, uint64_t offset, size_t n, uint64_t readAheadEnd) {
    if (offset > s->size || n > s->size - offset) return nullptr;
    if (!s->file) return s->memory + offset;
    if (offset >= s->bufferStart && offset - s->bufferStart <= s->buffer.size() &&
        n <= s->buffer.size() - (offset - s->bufferStart))
        return reinterpret_cast<const uint8_t*>(s->buffer.data()) + (offset - s->bufferStart);
    const uint64_t ahead = readAheadEnd > offset ? std::min(readAheadEnd, s->size) - offset : 0;
    s->buffer.resize(size_t(std::max<uint64_t>(n, std::min<uint64_t>(ahead, kAtomBufferSize))));
    s->bufferStart = offset;
    if (!ReadMovieFileAt(s->file, offset, &s->buffer[0], s->buffer.size())) {
        s->buffer.clear();
        s->readFailed = true;
        return nullptr;
    }
    return reinterpret_cast<const uint8_t*>(s->buffer.data());
}

}  // namespace

AtomSource FileAtomSource(MovieFile* file) {
    AtomSource s;
    s.file = file;
    s.size = file->size;
    return s;
}

AtomSource MemoryAtomSource(const void* data, size_t size) {
    AtomSource s;
    s.memory = static_cast<const uint8_t*>(data);
    s.size = data ? size : 0;
    return s;
}

AtomRegion WholeSource(AtomSource* source) { return AtomRegion{source, 0, source->size}; }

AtomStep NextRegionAtom(AtomRegion* parent, AtomHeader* header, AtomRegion* body) {
    const uint64_t left = RegionSize(*parent);
    if (left < 8) {
        parent->pos = parent->end;
        return AtomStep::End;
    }
    const size_t available = left < 16 ? 8 : 16;
    const uint64_t readAheadEnd = std::min(parent->end, parent->pos + kAtomHeaderReadAhead);
    const uint8_t* head = SourceBytes(parent->source, parent->pos, available, readAheadEnd);
    if (!head) return AtomStep::Damaged;
    const AtomStep step = DecodeAtomHeader(head, available, left, header);
    if (step != AtomStep::Atom) return step;
    header->offset = parent->pos;
    *body = AtomRegion{parent->source, parent->pos + header->headerSize, parent->pos + header->size};
    parent->pos = body->end;
    return AtomStep::Atom;
}

bool LoadRegion(const AtomRegion& region, uint64_t maxBytes, std::string* bytes) {
    bytes->clear();
    const uint64_t count = std::min(RegionSize(region), maxBytes);
    if (count > uint64_t(SIZE_MAX / 2)) throw std::bad_alloc();  // more than memory can hold
    AtomSource* s = region.source;
    if (count <= kAtomBufferSize || !s->file) {
        const uint8_t* p = SourceBytes(s, region.pos, size_t(count), region.pos + count);
        if (!p) return false;
        bytes->assign(reinterpret_cast<const char*>(p), size_t(count));
        return true;
    }
    // Larger than the buffer: straight into bytes.
    bytes->resize(size_t(count));
    if (!ReadMovieFileAt(s->file, region.pos, &(*bytes)[0], bytes->size())) {
        bytes->clear();
        s->readFailed = true;
        return false;
    }
    return true;
}

bool ReadRegionU32(AtomRegion* region, uint32_t* value) {
    if (RegionSize(*region) < 4) return false;
    const uint8_t* p = SourceBytes(region->source, region->pos, 4, region->end);
    if (!p) return false;
    *value = LoadU32(p);
    region->pos += 4;
    return true;
}
