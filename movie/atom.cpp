#include "movie/atom.h"

AtomStep DecodeAtomHeader(const uint8_t* head, size_t available, uint64_t left, AtomHeader* header) {
    uint64_t size = LoadU32(head);
    header->type = LoadU32(head + 4);
    header->headerSize = 8;
    if (size == 1) {
        if (available < 16) return AtomStep::Damaged;
        size = LoadU64(head + 8);
        header->headerSize = 16;
    } else if (size == 0) {
        size = left;
    }
    if (size < header->headerSize || size > left) return AtomStep::Damaged;
    header->size = size;
    return AtomStep::Atom;
}

AtomStep NextChildAtom(ByteCursor* parent, AtomHeader* header, ByteCursor* body) {
    const size_t left = Remaining(*parent);
    if (left < 8) {
        Skip(parent, left);
        return AtomStep::End;
    }
    const uint8_t* head = parent->data + parent->pos;
    const AtomStep step = DecodeAtomHeader(head, left < 16 ? left : 16, left, header);
    if (step != AtomStep::Atom) return step;
    header->offset = parent->pos;
    *body = MakeCursor(head + header->headerSize, size_t(header->size - header->headerSize));
    parent->pos += size_t(header->size);
    return AtomStep::Atom;
}

bool ReadVersionAndFlags(ByteCursor* body, uint8_t* version, uint32_t* flags) {
    uint32_t ignored;
    return ReadU8(body, version) && ReadU24(body, flags ? flags : &ignored);
}

void ScanTopLevel(MovieFile* file, TopLevelScan* scan) {
    uint64_t offset = 0;
    while (file->size - offset >= 8) {
        uint8_t raw[16];
        if (!ReadMovieFileAt(file, offset, raw, 8)) break;
        uint64_t size = LoadU32(raw);
        uint32_t type = LoadU32(raw + 4);
        uint64_t headerSize = 8;
        if (size == 1) {
            if (!ReadMovieFileAt(file, offset + 8, raw + 8, 8)) break;
            size = LoadU64(raw + 8);
            headerSize = 16;
        } else if (size == 0) {
            size = file->size - offset;
        }
        bool sane = size >= headerSize;
        bool truncated = sane && size > file->size - offset;
        if (type == FourCC("moov") && !scan->hasMovie && sane) {
            scan->hasMovie = true;
            scan->movieTruncated = truncated;
            scan->movie = {offset, headerSize, truncated ? file->size - offset : size};
        } else if (type == FourCC("moof") && sane && !truncated) {
            scan->fragments.push_back({offset, headerSize, size});
        } else if (type == FourCC("meta") && sane && scan->metadata.size() < kMaxTopLevelMetadata) {
            scan->metadata.push_back({offset, headerSize, truncated ? file->size - offset : size});
        }
        if (!sane || truncated) {
            if (scan->hasMovie) scan->damagedAfterMovie = true;
            break;
        }
        offset += size;
    }
}
