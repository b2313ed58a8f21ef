// Movies whose movie header is stored compressed, made from fixture movies.
#include "tests/fuzz/compressed_header.h"

#include <zlib.h>

#include "tests/fixture/fixture_writer.h"

namespace {

void PutAtom(std::string& out, const char* type, const std::string& body) {
    std::string header(8, '\0');
    PutBE32(header, 0, uint32_t(8 + body.size()));
    header.replace(4, 4, type);
    out += header + body;
}

}  // namespace

std::string CompressMovieHeader(const std::string& movie) {
    FixtureAtom moov;
    if (!FindFixtureAtom(movie, "moov", &moov) || moov.offset + moov.size > movie.size()) return "";
    std::string plain = movie.substr(moov.offset, size_t(moov.size));
    uLongf packedSize = compressBound(uLong(plain.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
                 reinterpret_cast<const Bytef*>(plain.data()), uLong(plain.size())) != Z_OK)
        return "";
    packed.resize(packedSize);
    std::string size(4, '\0');
    PutBE32(size, 0, uint32_t(plain.size()));
    std::string cmov, inner;
    PutAtom(inner, "dcom", "zlib");
    PutAtom(inner, "cmvd", size + packed);
    PutAtom(cmov, "cmov", inner);
    std::string header;
    PutAtom(header, "moov", cmov);
    return movie.substr(0, moov.offset) + header + movie.substr(size_t(moov.offset + moov.size));
}

