#include "platform/file_block.h"

#include <new>

namespace platform {

bool CopyFileRange(platform::RawFile& destination, const platform::SysChar* source, int64_t offset,
                   int64_t count, unsigned char* buffer, size_t size) {
    platform::RawFile in;
    return in.OpenRead(source) && CopyFileRange(destination, in, offset, count, buffer, size);
}

bool CopyFileRange(platform::RawFile& destination, platform::RawFile& in, int64_t offset,
                   int64_t count, unsigned char* buffer, size_t size) {
    if (count == -1) count = in.Length() - offset;
    if (count > 0 && (offset < 0 || in.Seek(offset, platform::RawFile::Origin::Begin) < 0))
        return false;
    unsigned char own[4096];
    if (!buffer || size == 0) {
        buffer = own;
        size = sizeof own;
    }
    while (count > 0) {
        const size_t want = count < static_cast<int64_t>(size) ? static_cast<size_t>(count) : size;
        const size_t got = in.Read(buffer, want);
        if (got == 0 || !destination.Write(buffer, got)) return false;
        count -= static_cast<int64_t>(got);
    }
    return true;
}

std::unique_ptr<unsigned char[]> ReadFileBlock(const platform::SysChar* path, int64_t* length,
                                               int64_t offset) {
    platform::RawFile file;
    if (!file.OpenRead(path)) return nullptr;
    return ReadFileBlock(file, length, offset);
}

std::unique_ptr<unsigned char[]> ReadFileBlock(platform::RawFile& file, int64_t* length,
                                               int64_t offset) {
    if (*length == -1) *length = file.Length() - offset;
    if (*length < 0 || offset < 0 || offset + *length > file.Length()) return nullptr;
    if (static_cast<uint64_t>(*length) >= SIZE_MAX) return nullptr;
    if (file.Seek(offset, platform::RawFile::Origin::Begin) < 0) return nullptr;
    std::unique_ptr<unsigned char[]> buffer(
        new (std::nothrow) unsigned char[static_cast<size_t>(*length) + 1]);
    if (!buffer) return nullptr;
    if (file.Read(buffer.get(), static_cast<size_t>(*length)) != static_cast<size_t>(*length))
        return nullptr;
    buffer[*length] = 0;
    return buffer;
}

}  // namespace platform
