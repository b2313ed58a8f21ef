#include "mxf/mxf_partition.h"

#include <cstring>

#include "movie/byte_cursor.h"

namespace {

const uint8_t kPartitionPrefix[13] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x05, 0x01, 0x01,
                                      0x0d, 0x01, 0x02, 0x01, 0x01};
constexpr size_t kPackFixedBytes = 88;  // up to and including OperationalPattern

}  // namespace

bool IsPartitionPackKey(const uint8_t* key, uint8_t* kind, uint8_t* status) {
    if (!SameLabelPrefix(key, kPartitionPrefix, 13) || key[15] != 0x00) return false;
    if (key[13] < 0x02 || key[13] > 0x04 || key[14] < 0x01 || key[14] > 0x04) return false;
    *kind = key[13];
    *status = key[14];
    return true;
}

bool IsRandomIndexPackKey(const uint8_t* key) {
    return SameLabelPrefix(key, kPartitionPrefix, 13) && key[13] == 0x11 && key[14] == 0x01 &&
           key[15] == 0x00;
}

bool IsPrimerPackKey(const uint8_t* key) {
    return SameLabelPrefix(key, kPartitionPrefix, 13) && key[13] == 0x05 && key[14] == 0x01 &&
           key[15] == 0x00;
}

MxfStatus ReadPartitionPack(MxfSource* source, const MxfKlv& klv, MxfPartition* p) {
    if (!IsPartitionPackKey(klv.key, &p->kind, &p->status)) return MxfStatus::Damaged;
    if (klv.length < kPackFixedBytes) return MxfStatus::Damaged;
    uint8_t v[kPackFixedBytes];
    MxfStatus st = MxfRead(source, klv.valueOffset, v, sizeof v);
    if (st != MxfStatus::Ok) return st == MxfStatus::ReadError ? MxfStatus::Damaged : st;
    p->offset = klv.offset;
    p->end = klv.valueOffset + klv.length;
    p->thisPartition = LoadU64(v + 8);
    p->previousPartition = LoadU64(v + 16);
    p->footerPartition = LoadU64(v + 24);
    p->headerByteCount = LoadU64(v + 32);
    p->indexByteCount = LoadU64(v + 40);
    p->indexSid = LoadU32(v + 48);
    p->bodyOffset = LoadU64(v + 52);
    p->bodySid = LoadU32(v + 60);
    std::memcpy(p->operationalPattern, v + 64, 16);
    return MxfStatus::Ok;
}

MxfStatus FindHeaderPartition(MxfSource* source, MxfPartition* header) {
    const uint64_t size = MxfFileSize(*source);
    uint64_t span = kMxfMaxRunIn + 16;
    if (span > size) span = size;
    if (span < 16) return MxfStatus::NotMxf;
    // The run-in and the pack's key fit in one window.
    std::vector<uint8_t> head(size_t(span), 0);
    if (MxfRead(source, 0, head.data(), head.size()) != MxfStatus::Ok) return MxfStatus::ReadError;
    for (size_t at = 0; at + 16 <= head.size(); ++at) {
        uint8_t kind = 0, status = 0;
        if (head[at] != 0x06 || !IsPartitionPackKey(&head[at], &kind, &status)) continue;
        if (kind != kMxfHeaderPartition) continue;
        MxfKlv klv;
        if (ReadKlvHeader(source, at, &klv) != MxfStatus::Ok) continue;
        if (ReadPartitionPack(source, klv, header) == MxfStatus::Ok) return MxfStatus::Ok;
    }
    return MxfStatus::NotMxf;
}

MxfStatus ReadPartitionAt(MxfSource* source, uint64_t runIn, uint64_t relative, MxfPartition* p) {
    const uint64_t size = MxfFileSize(*source);
    if (relative > size || runIn > size - relative) return MxfStatus::Damaged;
    MxfKlv klv;
    if (ReadKlvHeader(source, runIn + relative, &klv) != MxfStatus::Ok) return MxfStatus::Damaged;
    MxfStatus st = ReadPartitionPack(source, klv, p);
    if (st != MxfStatus::Ok) return st;
    return p->thisPartition == relative ? MxfStatus::Ok : MxfStatus::Damaged;
}

MxfStatus FindFooterPartition(MxfSource* source, const MxfPartition& header, bool* found,
                              MxfPartition* footer) {
    *found = false;
    const uint64_t runIn = header.offset;
    // The footer must lie after the header: an offset pointing backwards (or
    // at the header itself) is not followed.
    if (header.footerPartition > header.thisPartition &&
        ReadPartitionAt(source, runIn, header.footerPartition, footer) == MxfStatus::Ok &&
        footer->kind == kMxfFooterPartition) {
        *found = true;
        return MxfStatus::Ok;
    }
    // The random index pack ends the file; its last 4 bytes are its own
    // length, key included. Each entry is BodySID(4) ByteOffset(8); the last
    // names the footer.
    const uint64_t size = MxfFileSize(*source);
    if (size < runIn + 4 + 17) return MxfStatus::Ok;
    uint8_t tail[4];
    if (MxfRead(source, size - 4, tail, 4) != MxfStatus::Ok) return MxfStatus::ReadError;
    const uint64_t ripLength = LoadU32(tail);
    if (ripLength < 17 + 4 || ripLength > size - runIn) return MxfStatus::Ok;
    MxfKlv klv;
    if (ReadKlvHeader(source, size - ripLength, &klv) != MxfStatus::Ok ||
        !IsRandomIndexPackKey(klv.key) || klv.valueOffset + klv.length != size ||
        klv.length < 4 + 12) {
        return MxfStatus::Ok;
    }
    uint8_t last[12];
    if (MxfRead(source, size - 4 - 12, last, 12) != MxfStatus::Ok) return MxfStatus::ReadError;
    const uint64_t relative = LoadU64(last + 4);
    if (relative > header.thisPartition &&
        ReadPartitionAt(source, runIn, relative, footer) == MxfStatus::Ok &&
        footer->kind == kMxfFooterPartition) {
        *found = true;
    }
    return MxfStatus::Ok;
}
