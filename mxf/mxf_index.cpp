#include "mxf/mxf_index.h"

#include "mxf/mxf_klv.h"

namespace {

const uint8_t kIndexSegmentKey[16] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x53, 0x01, 0x01,
                                      0x0d, 0x01, 0x02, 0x01, 0x01, 0x10, 0x01, 0x00};

bool TakeU64(ByteCursor v, int64_t* out) {
    uint64_t u = 0;
    if (v.size != 8 || !ReadU64(&v, &u)) return false;
    *out = int64_t(u);
    return true;
}

}  // namespace

bool IsIndexSegmentKey(const uint8_t* key) { return SameLabel(key, kIndexSegmentKey); }

MxfStatus ReadIndexSegment(ByteCursor c, MxfIndexSegment* s) {
    *s = MxfIndexSegment();
    while (Remaining(c) > 0) {
        uint16_t tag = 0, length = 0;
        ByteCursor v;
        if (!ReadU16(&c, &tag) || !ReadU16(&c, &length) || !TakeCursor(&c, length, &v)) {
            return MxfStatus::Damaged;
        }
        uint32_t u = 0;
        switch (tag) {
            case 0x3f0b:
                if (v.size == 8) {
                    ReadU32(&v, &u);
                    s->editRate.num = int32_t(u);
                    ReadU32(&v, &u);
                    s->editRate.den = int32_t(u);
                }
                break;
            case 0x3f0c: TakeU64(v, &s->startPosition); break;
            case 0x3f0d: TakeU64(v, &s->duration); break;
            case 0x3f05:
                if (v.size == 4) ReadU32(&v, &s->editUnitByteCount);
                break;
            case 0x3f06:
                if (v.size == 4) ReadU32(&v, &s->indexSid);
                break;
            case 0x3f07:
                if (v.size == 4) ReadU32(&v, &s->bodySid);
                break;
            case 0x3f0a:
                if (!ReadU32(&v, &s->entryCount) || !ReadU32(&v, &s->entrySize) ||
                    (s->entryCount > 0 && s->entrySize < 11) ||
                    !FitsEntries(v, s->entryCount, s->entrySize) ||
                    !TakeCursor(&v, uint64_t(s->entryCount) * s->entrySize, &s->entries)) {
                    return MxfStatus::Damaged;
                }
                break;
            default: break;
        }
    }
    return MxfStatus::Ok;
}

uint64_t IndexEntryStreamOffset(const MxfIndexSegment& s, uint32_t i) {
    return LoadU64(s.entries.data + size_t(i) * s.entrySize + 3);
}
