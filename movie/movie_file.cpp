#include "movie/movie_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cerrno>

namespace {

bool SeekTo(std::FILE* fp, uint64_t offset) {
    if (offset > uint64_t(INT64_MAX)) return false;
#ifdef _WIN32
    return _fseeki64(fp, int64_t(offset), SEEK_SET) == 0;
#else
    return fseeko(fp, off_t(offset), SEEK_SET) == 0;
#endif
}

bool MeasureFile(std::FILE* fp, uint64_t* size) {
#ifdef _WIN32
    if (_fseeki64(fp, 0, SEEK_END) != 0) return false;
    int64_t end = _ftelli64(fp);
#else
    if (fseeko(fp, 0, SEEK_END) != 0) return false;
    int64_t end = int64_t(ftello(fp));
#endif
    if (end < 0) return false;
    *size = uint64_t(end);
    return SeekTo(fp, 0);
}

// Windows refuses to open a folder as a file ("access denied"), where Linux
// opens it and fails the first read: both are the read error -36, not -54.
bool IsFolder(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    (void)path;
    return false;
#endif
}

#ifndef _WIN32
bool ReadAt(int fd, uint64_t offset, void* dst, size_t count) {
    if (offset > uint64_t(INT64_MAX) - count) return false;
    char* p = static_cast<char*>(dst);
    while (count > 0) {
        const ssize_t n = pread(fd, p, count, off_t(offset));
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return false;
        }
        p += n;
        offset += uint64_t(n);
        count -= size_t(n);
    }
    return true;
}
#endif

}  // namespace

MovieStatus OpenMovieFileForReading(const std::string& path, MovieFile* file) {
    errno = 0;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        if (errno == ENOENT || errno == ENOTDIR) return MovieStatus::FileNotFound;
        if (errno == EACCES && IsFolder(path)) return MovieStatus::ReadError;
        if (errno == EACCES || errno == EPERM || errno == EROFS) return MovieStatus::PermissionDenied;
        return MovieStatus::ReadError;
    }
    // Unbuffered: the reader asks for exactly what it needs (atom headers, a
    // timecode sample, 64 KiB of a container) and keeps its own buffer.
    std::setvbuf(fp, nullptr, _IONBF, 0);
    // A folder opens on some systems but cannot be read: probe one byte.
    uint64_t size = 0;
    unsigned char probe;
    if (!MeasureFile(fp, &size) || (std::fread(&probe, 1, 1, fp) != 1 && std::ferror(fp))) {
        std::fclose(fp);
        return MovieStatus::ReadError;
    }
    file->fp = fp;
    file->size = size;
    file->path = path;
    return MovieStatus::Ok;
}

void CloseMovieFileForReading(MovieFile* file) {
    if (file->fp) std::fclose(file->fp);
    file->fp = nullptr;
    file->size = 0;
    file->path.clear();
}

bool ReadMovieFileAt(MovieFile* file, uint64_t offset, void* dst, size_t count) {
    if (!file->fp) return false;
    if (offset > file->size || count > file->size - offset) return false;
    if (count == 0) return true;
#ifndef _WIN32
    // One positioned read instead of a seek and a read: a walk that reads a
    // few bytes of every frame's sample makes one system call a frame. The
    // stream is unbuffered, so stdio holds nothing that this could bypass.
    // (A stream over memory has no descriptor: it takes the stdio path.)
    if (fileno(file->fp) >= 0) return ReadAt(fileno(file->fp), offset, dst, count);
#endif
    if (!SeekTo(file->fp, offset)) return false;
    return std::fread(dst, 1, count, file->fp) == count;
}
