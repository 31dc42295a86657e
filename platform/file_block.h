// Reading pieces out of a package file. The package is the running program itself, whose path
// comes from the system: it is a SysChar path (UTF-16 on Windows).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/file.h"

namespace platform {

// Fills `destination` (open for writing) with `count` bytes of `source` taken from `offset`; a
// `count` of -1 means up to the end of the source. Goes through a fixed 4 KiB buffer, or the
// caller's `buffer` of `size` bytes. False when the source cannot be opened, ends before
// `count` bytes were copied, or a write fails (destination.error() tells why); the bytes
// copied so far stay.
bool CopyFileRange(platform::RawFile& destination, const platform::SysChar* source, int64_t offset,
                   int64_t count, unsigned char* buffer = nullptr, size_t size = 0);
// The same from a source the caller holds open for reading.
bool CopyFileRange(platform::RawFile& destination, platform::RawFile& source, int64_t offset,
                   int64_t count, unsigned char* buffer = nullptr, size_t size = 0);

// A new buffer with `*length` bytes of the file from `offset`, plus one spare zero byte. A
// `*length` of -1 means up to the end of the file, and the count is written back. No buffer when
// the file cannot be opened, holds fewer bytes than asked for (so a caller never takes padding
// for data) or the memory cannot be had.
std::unique_ptr<unsigned char[]> ReadFileBlock(const platform::SysChar* path, int64_t* length,
                                               int64_t offset);
// The same from a file the caller holds open.
std::unique_ptr<unsigned char[]> ReadFileBlock(platform::RawFile& file, int64_t* length,
                                               int64_t offset);

}  // namespace platform
