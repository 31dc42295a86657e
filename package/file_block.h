// Reading pieces out of a package file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace package {

// Creates (or truncates) `destination` and fills it with `count` bytes of `source` taken from
// `offset`; a `count` of -1 means up to the end of the source. Goes through a fixed 4 KiB
// buffer. False when either file cannot be opened, or when the source ends before `count`
// bytes were copied (the copy made so far stays). Raises platform::FileError when a write fails.
bool CopyFileRange(const std::string& destination, const std::string& source, int64_t offset,
                   int64_t count);

// A new buffer with `*length` bytes of the file from `offset`, plus one spare zero byte. A
// `*length` of -1 means up to the end of the file, and the count is written back. No buffer when
// the file cannot be opened or holds fewer bytes than asked for, so a caller never takes
// padding for data.
std::unique_ptr<unsigned char[]> ReadFileBlock(const std::string& path, int64_t* length,
                                               int64_t offset);

}  // namespace package
