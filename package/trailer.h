// The text "&LEN:%d,SEEK:%d." at the very end of a package file: the one fixed landmark, which
// locates the settings block; every other piece is found through the settings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace package {

// The trailer must start within this many bytes of the end of the file (and not at the first).
constexpr int kTrailerWindow = 127;

struct PackageTrailer {
    int32_t length = 0;         // LEN: byte count of the settings block
    int32_t offset = 0;         // SEEK: file offset of the settings block
    int64_t trailerOffset = 0;  // where the trailer's "&" stands in the file
};

// Parses the trailer text that follows the "&" (the "&" itself excluded).
PackageTrailer ParseTrailerText(const char* text, size_t size);

// Reads the trailer of the file at `path`; false when the file cannot be opened or has none.
bool ReadTrailer(const platform::SysChar* path, PackageTrailer* trailer);

// Room for the longest trailer text and its zero.
constexpr size_t kTrailerRoom = 40;

// Writes the trailer text into `text` (kTrailerRoom bytes) and returns its length.
size_t FormatTrailer(int32_t length, int32_t offset, char* text);

// Appends the trailer for a block of `length` bytes at `offset` at the file's current position.
// False when the write fails.
bool WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset);

}  // namespace package
