// Atoms read where they lie: in the movie file, through one buffer, or in
// memory (an inflated compressed movie header, a moov handed in by a test).
// A container is walked header by header and only the bodies that a reader
// asks for are read, so the big per-sample tables of video and sound cost a
// seek, not a read: memory and bytes read stay small for long movies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "movie/atom.h"
#include "movie/movie_file.h"

struct AtomSource {
    MovieFile* file = nullptr;        // read through `buffer` when set; otherwise
    const uint8_t* memory = nullptr;  // the bytes themselves
    uint64_t size = 0;                // of the file or of the bytes
    std::string buffer;               // file bytes from bufferStart on
    uint64_t bufferStart = 0;
    bool readFailed = false;          // a read of the file failed: an I/O error, not damage
};

// Reads that miss the buffer fill it from the byte asked for on, as far as
// the container being walked reaches, up to this many bytes for a table
// walked in place and a few pages for atom headers: the headers of one
// container mostly come in one read, and a header followed by a big table
// that is skipped costs no more than those pages.
constexpr size_t kAtomBufferSize = 64 * 1024;
constexpr size_t kAtomHeaderReadAhead = 4096;

AtomSource FileAtomSource(MovieFile* file);
AtomSource MemoryAtomSource(const void* data, size_t size);

// A stretch [pos, end) of a source: the body of an atom, or what is left of it.
struct AtomRegion {
    AtomSource* source = nullptr;
    uint64_t pos = 0;
    uint64_t end = 0;
};

AtomRegion WholeSource(AtomSource* source);
inline uint64_t RegionSize(const AtomRegion& r) { return r.end - r.pos; }

// Takes the next child atom of a container body, with the rules of
// NextChildAtom. A header that cannot be read is Damaged (with
// source->readFailed set when the file read failed).
AtomStep NextRegionAtom(AtomRegion* parent, AtomHeader* header, AtomRegion* body);

// The first min(size of region, maxBytes) bytes of region, into bytes. False
// when they cannot be read; std::bad_alloc when they cannot be held.
bool LoadRegion(const AtomRegion& region, uint64_t maxBytes, std::string* bytes);

// The next big-endian 32-bit value of region, for tables walked in place.
bool ReadRegionU32(AtomRegion* region, uint32_t* value);
