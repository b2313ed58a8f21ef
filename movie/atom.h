// Atom headers. An atom is a 32-bit big-endian size and a four-character
// type; size 1 means a 64-bit size follows the type, size 0 means the atom
// runs to the end of the enclosing space. The size counts the header too.
#pragma once

#include <cstdint>
#include <vector>

#include "common/four_cc.h"
#include "movie/byte_cursor.h"
#include "movie/movie_file.h"

struct AtomHeader {
    uint32_t type = 0;
    uint64_t offset = 0;      // of the header, within the enclosing space
    uint64_t headerSize = 0;  // 8 or 16
    uint64_t size = 0;        // header and body
};

enum class AtomStep { Atom, End, Damaged };

// Decodes the header at head, the start of what is left of a parent (left
// bytes, of which `available`, at least 8, are at head): type, header size
// and whole size, size 0 meaning the rest of the parent. Damaged when the size
// is smaller than the header or larger than what the parent has left.
AtomStep DecodeAtomHeader(const uint8_t* head, size_t available, uint64_t left, AtomHeader* header);

// Takes the next child atom of a container body. Fewer than 8 bytes left is
// the end (QuickTime containers may close with a 32-bit zero); a child that
// claims more than the parent holds is damage.
AtomStep NextChildAtom(ByteCursor* parent, AtomHeader* header, ByteCursor* body);

// What the top level of a file holds, scanned header to header.
struct AtomLocation {
    uint64_t offset = 0;  // of the header in the file
    uint64_t headerSize = 0;
    uint64_t size = 0;
};
struct TopLevelScan {
    bool hasMovie = false;
    bool movieTruncated = false;  // the first moov runs past the end of the file
    AtomLocation movie;           // the first moov
    std::vector<AtomLocation> fragments;  // every moof, in file order
    bool damagedAfterMovie = false;       // scan stopped at damage or truncation after moov
    std::vector<AtomLocation> metadata;   // top-level meta atoms (a few at most), a cut one to the end of the file
};
constexpr size_t kMaxTopLevelMetadata = 8;

// Scans the top level of the file. Stops at the first header that cannot be
// read or makes no sense; what was found up to there stays valid.
void ScanTopLevel(MovieFile* file, TopLevelScan* scan);

// The 8-bit version and 24-bit flags that open every full atom's body;
// flags may be null when the reader has no use for them.
bool ReadVersionAndFlags(ByteCursor* body, uint8_t* version, uint32_t* flags = nullptr);
