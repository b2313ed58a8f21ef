#include "mxf/mxf_klv.h"

#include <cstring>

#include "movie/movie_file.h"

namespace {

const uint8_t kUlPrefix[4] = {0x06, 0x0e, 0x2b, 0x34};
const uint8_t kFillKey[16] = {0x06, 0x0e, 0x2b, 0x34, 0x01, 0x01, 0x01, 0x01,
                              0x03, 0x01, 0x02, 0x10, 0x01, 0x00, 0x00, 0x00};
const uint8_t kSystemPackKey[16] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x05, 0x01, 0x01,
                                    0x0d, 0x01, 0x03, 0x01, 0x04, 0x01, 0x01, 0x00};

size_t WindowSize(const MxfSource& s) { return s.window.size(); }

}  // namespace

void InitMxfSource(MovieFile* file, MxfSource* source) {
    source->file = file;
    source->window.clear();
    source->windowStart = 0;
}

uint64_t MxfFileSize(const MxfSource& source) { return source.file ? source.file->size : 0; }

MxfStatus MxfRead(MxfSource* s, uint64_t offset, void* dst, size_t count) {
    const uint64_t size = MxfFileSize(*s);
    if (offset > size || count > size - offset) return MxfStatus::ReadError;
    if (count == 0) return MxfStatus::Ok;
    const uint64_t end = s->windowStart + WindowSize(*s);
    if (offset >= s->windowStart && offset + count <= end) {
        std::memcpy(dst, s->window.data() + (offset - s->windowStart), count);
        return MxfStatus::Ok;
    }
    if (count > kMxfWindow) {
        return ReadMovieFileAt(s->file, offset, dst, count) ? MxfStatus::Ok : MxfStatus::ReadError;
    }
    // A step just past the window continues a run of small KLVs: read a full
    // window. A jump further (past a picture or a sound element) reads a
    // little, so that files of large frames cost well under a kilobyte per
    // frame, never the pictures.
    const bool jump = offset > end + kMxfSmallRead || offset < s->windowStart;
    size_t fill = jump && WindowSize(*s) > 0 ? kMxfSmallRead : kMxfWindow;
    if (fill < count) fill = count;
    if (fill > size - offset) fill = size_t(size - offset);
    s->window.resize(fill);
    if (!ReadMovieFileAt(s->file, offset, s->window.data(), fill)) {
        s->window.clear();
        return MxfStatus::ReadError;
    }
    s->windowStart = offset;
    std::memcpy(dst, s->window.data(), count);
    return MxfStatus::Ok;
}

bool DecodeBerLength(const uint8_t* p, size_t avail, uint64_t* length, size_t* used) {
    if (avail < 1) return false;
    if (p[0] < 0x80) {
        *length = p[0];
        *used = 1;
        return true;
    }
    const size_t n = p[0] & 0x7f;
    if (n == 0 || n > 8 || avail < 1 + n) return false;  // 0x80 alone is the indefinite form
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v = (v << 8) | p[1 + i];
    if (v > uint64_t(INT64_MAX)) return false;
    *length = v;
    *used = 1 + n;
    return true;
}

MxfStatus ReadKlvHeader(MxfSource* s, uint64_t offset, MxfKlv* klv) {
    const uint64_t size = MxfFileSize(*s);
    if (offset > size || size - offset < 17) return MxfStatus::NotMxf;
    uint8_t buf[25];
    const size_t want = size - offset < sizeof buf ? size_t(size - offset) : sizeof buf;
    MxfStatus st = MxfRead(s, offset, buf, want);
    if (st != MxfStatus::Ok) return st;
    if (!IsUniversalLabel(buf)) return MxfStatus::NotMxf;
    size_t used = 0;
    if (!DecodeBerLength(buf + 16, want - 16, &klv->length, &used)) {
        // Cut within the length bytes is the end of the file, not damage.
        const size_t n = buf[16] & 0x7f;
        if (buf[16] >= 0x80 && n >= 1 && n <= 8 && want - 16 < 1 + n) return MxfStatus::NotMxf;
        return MxfStatus::Damaged;
    }
    std::memcpy(klv->key, buf, 16);
    klv->offset = offset;
    klv->valueOffset = offset + 16 + used;
    return MxfStatus::Ok;
}

bool IsUniversalLabel(const uint8_t* key) { return std::memcmp(key, kUlPrefix, 4) == 0; }

bool SameLabelPrefix(const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (i != 7 && a[i] != b[i]) return false;
    }
    return true;
}

bool SameLabel(const uint8_t* a, const uint8_t* b) { return SameLabelPrefix(a, b, 16); }

bool IsFillKey(const uint8_t* key) { return SameLabel(key, kFillKey); }

bool IsEssenceElementKey(const uint8_t* key) {
    if (!IsUniversalLabel(key) || key[4] != 0x01 || key[5] != 0x02 || key[6] != 0x01) return false;
    return (key[8] == 0x0d && key[9] == 0x01 && key[10] == 0x03 && key[11] == 0x01) ||
           (key[8] == 0x0e && key[9] == 0x04 && key[10] == 0x03 && key[11] == 0x01);
}

bool IsSystemPackKey(const uint8_t* key) {
    // Byte 5 (the registry's coding) differs between writers.
    for (size_t i = 0; i < 16; ++i) {
        if (i != 5 && i != 7 && key[i] != kSystemPackKey[i]) return false;
    }
    return true;
}
