#include "mxf/mxf_body.h"

#include <cstring>

#include "movie/byte_cursor.h"
#include "movie/movie_file.h"
#include "mxf/mxf_index.h"
#include "mxf/mxf_partition.h"

namespace {

bool IsCountedElement(const MxfModel& model, const uint8_t* key) {
    if (!IsEssenceElementKey(key)) return false;
    if (model.trackNumber != 0) return LoadU32(key + 12) == model.trackNumber;
    return key[12] == 0x15 || key[12] == 0x05;  // generic container or content package picture item
}

}  // namespace

void StartBodyWalk(MovieFile* file, const MxfModel& model, MxfBodyCursor* cursor) {
    if (cursor->source.file != file) InitMxfSource(file, &cursor->source);
    cursor->started = true;
    cursor->next = model.bodyStart;
    cursor->inBody = false;
    cursor->packages = 0;
    cursor->cachedPackage = -1;
}

MxfStatus NextBodyEvent(const MxfModel& model, MxfBodyCursor* cursor, MxfBodyEvent* event,
                        MxfKlv* klv) {
    const uint64_t size = MxfFileSize(cursor->source);
    for (;;) {
        *event = MxfBodyEvent::End;
        MxfStatus st = ReadKlvHeader(&cursor->source, cursor->next, klv);
        if (st == MxfStatus::NotMxf || st == MxfStatus::Damaged) return MxfStatus::Ok;
        if (st != MxfStatus::Ok) return st;
        const bool whole = klv->length <= size - klv->valueOffset;
        const uint64_t after = whole ? klv->valueOffset + klv->length : size;
        uint8_t kind = 0, status = 0;
        if (IsPartitionPackKey(klv->key, &kind, &status)) {
            MxfPartition p;
            if (!whole || ReadPartitionPack(&cursor->source, *klv, &p) != MxfStatus::Ok) {
                return MxfStatus::Ok;
            }
            cursor->inBody = p.bodySid != 0 && (model.bodySid == 0 || p.bodySid == model.bodySid);
            cursor->next = after;
            continue;
        }
        if (IsRandomIndexPackKey(klv->key)) return MxfStatus::Ok;
        cursor->next = after;
        if (cursor->inBody && IsCountedElement(model, klv->key)) {
            *event = whole ? MxfBodyEvent::Element : MxfBodyEvent::CutElement;
            if (whole) ++cursor->packages;
            return MxfStatus::Ok;
        }
        if (!whole) return MxfStatus::Ok;
        if (cursor->inBody && IsSystemPackKey(klv->key)) {
            *event = MxfBodyEvent::SystemPack;
            return MxfStatus::Ok;
        }
        if (IsIndexSegmentKey(klv->key)) {
            *event = MxfBodyEvent::IndexSegment;
            return MxfStatus::Ok;
        }
    }
}

MxfStatus SystemItemTimecode(MovieFile* file, const MxfModel& model, MxfBodyCursor* cursor,
                             int64_t contentPackage, uint8_t smpte[4], bool* present) {
    *present = false;
    if (contentPackage < 0) return MxfStatus::Ok;
    if (cursor->started && cursor->source.file == file && cursor->cachedPackage == contentPackage) {
        *present = cursor->cachedPresent;
        std::memcpy(smpte, cursor->cached, 4);
        return MxfStatus::Ok;
    }
    if (!cursor->started || cursor->source.file != file || contentPackage < cursor->packages) {
        StartBodyWalk(file, model, cursor);
    }
    for (;;) {
        MxfBodyEvent event;
        MxfKlv klv;
        MxfStatus st = NextBodyEvent(model, cursor, &event, &klv);
        if (st != MxfStatus::Ok) return st;
        if (event == MxfBodyEvent::End || event == MxfBodyEvent::CutElement) return MxfStatus::Ok;
        if (event == MxfBodyEvent::Element && cursor->packages > contentPackage) {
            return MxfStatus::Ok;  // package without a system item
        }
        if (event != MxfBodyEvent::SystemPack || cursor->packages != contentPackage) continue;
        cursor->cachedPackage = contentPackage;
        cursor->cachedPresent = false;
        uint8_t stamp[5];
        if (klv.length >= 45) {
            st = MxfRead(&cursor->source, klv.valueOffset + 40, stamp, 5);
            if (st != MxfStatus::Ok) return st;
            if (stamp[0] == 0x81) {
                cursor->cachedPresent = true;
                std::memcpy(cursor->cached, stamp + 1, 4);
            }
        }
        *present = cursor->cachedPresent;
        std::memcpy(smpte, cursor->cached, 4);
        return MxfStatus::Ok;
    }
}
