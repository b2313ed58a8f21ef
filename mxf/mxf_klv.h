// KLV reading: 16-byte universal label keys (06 0e 2b 34 ...), BER lengths
// (one byte below 0x80, or 0x80|n followed by n bytes, n at most 8), and a
// windowed byte source over the file so that KLVs that lie close together are
// one read and a far jump (past a large picture) costs one small read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mxf/mxf_model.h"

struct MxfKlv {
    uint8_t key[16] = {};
    uint64_t offset = 0;       // of the key
    uint64_t valueOffset = 0;  // of the value
    uint64_t length = 0;       // of the value, as stated (may run past the file)
};

struct MxfSource {
    MovieFile* file = nullptr;
    std::vector<uint8_t> window;  // bytes of the file from windowStart
    uint64_t windowStart = 0;
};

constexpr size_t kMxfWindow = 64 * 1024;     // a refill after a short step
constexpr size_t kMxfSmallRead = 256;        // a refill after a jump past the window

void InitMxfSource(MovieFile* file, MxfSource* source);
uint64_t MxfFileSize(const MxfSource& source);

// Copies count bytes at offset (through the window when count is small).
// ReadError when the range is outside the file or the read fails.
MxfStatus MxfRead(MxfSource* source, uint64_t offset, void* dst, size_t count);

// Decodes a BER length at p (avail bytes there); false when it is not one of
// the forms above or does not fit in avail.
bool DecodeBerLength(const uint8_t* p, size_t avail, uint64_t* length, size_t* used);

// Reads the key and length at offset. NotMxf when the bytes there are not a
// key with a universal label prefix or the file ends within the key and
// length; Damaged for a BER length that is not valid.
MxfStatus ReadKlvHeader(MxfSource* source, uint64_t offset, MxfKlv* klv);

bool IsUniversalLabel(const uint8_t* key);
// Compares all 16 bytes except the version byte (byte 7).
bool SameLabel(const uint8_t* a, const uint8_t* b);
// Compares the first n bytes except the version byte.
bool SameLabelPrefix(const uint8_t* a, const uint8_t* b, size_t n);

// KLV fill items: 06 0e 2b 34 01 01 01 xx 03 01 02 10 01 00 00 00.
bool IsFillKey(const uint8_t* key);
// Essence elements of the generic container: 06 0e 2b 34 01 02 01 xx 0d 01 03 01
// (and the private 0e 04 03 01 form), the track number in bytes 12 to 15.
bool IsEssenceElementKey(const uint8_t* key);
// The system metadata pack of a content package's system item:
// 06 0e 2b 34 02 xx 01 xx 0d 01 03 01 04 01 01 00.
bool IsSystemPackKey(const uint8_t* key);
