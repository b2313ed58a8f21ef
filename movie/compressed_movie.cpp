#include "movie/compressed_movie.h"

#include <algorithm>

#include "movie/atom.h"

#ifdef LUMAREST_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

// Deflate gives at most 1032 bytes for each compressed byte.
constexpr uint64_t kMaxInflateRatio = 1032;

bool Inflate(const uint8_t* data, size_t size, uint32_t inflatedSize, std::string* out) {
#ifdef LUMAREST_HAVE_ZLIB
    if (uint64_t(inflatedSize) > uint64_t(size) * kMaxInflateRatio + 64) return false;
    if (uint64_t(inflatedSize) > uint64_t(SIZE_MAX / 2)) return false;
    // The buffer grows with what the stream really yields, up to the declared
    // size, so a header that lies about its size costs no more memory than
    // its compressed bytes can fill.
    out->assign(std::min<size_t>(inflatedSize, size_t(64) * 1024), '\0');
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    int rc = Z_OK;
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(&(*out)[0]) + z.total_out;
        z.avail_out = uInt(out->size() - z.total_out);
        rc = inflate(&z, Z_FINISH);
        if (rc != Z_BUF_ERROR && rc != Z_OK) break;
        if (z.total_out < out->size() || out->size() == inflatedSize) break;  // stalled, or full
        out->resize(std::min<size_t>(size_t(inflatedSize), out->size() * 2));
    }
    bool ok = rc == Z_STREAM_END && z.total_out == inflatedSize;
    inflateEnd(&z);
    return ok;
#else
    (void)data;
    (void)size;
    (void)inflatedSize;
    (void)out;
    return false;
#endif
}

}  // namespace

bool InflateCompressedMovie(ByteCursor cmov, std::string* moov) {
    bool hasCompressor = false, isZlib = false;
    AtomHeader h;
    ByteCursor child;
    for (;;) {
        AtomStep step = NextChildAtom(&cmov, &h, &child);
        if (step != AtomStep::Atom) return false;  // damaged, or no cmvd
        if (h.type == FourCC("dcom")) {
            uint32_t compressor;
            if (!ReadU32(&child, &compressor)) return false;
            hasCompressor = true;
            isZlib = compressor == FourCC("zlib");
        } else if (h.type == FourCC("cmvd")) {
            uint32_t inflatedSize;
            if (!hasCompressor || !isZlib || !ReadU32(&child, &inflatedSize)) return false;
            if (Remaining(child) > UINT32_MAX) return false;
            return Inflate(child.data + child.pos, Remaining(child), inflatedSize, moov);
        }
    }
}
