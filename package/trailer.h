// The text "&LEN:%d,SEEK:%d." at the very end of a package file: the one fixed landmark, which
// locates the settings block; every other piece is found through the settings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace package {

// The trailer must start within this many bytes of the end of the file (and not at the first).
constexpr int kTrailerWindow = 127;
constexpr int kTrailerWindowRoom = kTrailerWindow + 1;

// What our packer writes right after the trailer's ".": "CRC32:XXXXXXXX,FROM:N.", the CRC-32 of
// every byte from offset N (the package's first) up to the trailer's "." included, then spaces
// up to a length of a multiple of 8, so that a signer adds no padding. Readers of the format
// ignore what follows the "."; a package without it reads as before.
constexpr char kChecksumLabel[] = "CRC32:";
constexpr char kChecksumFrom[] = ",FROM:";

struct ChecksumRecord {
    enum class State { None, Present, Damaged };
    State state = State::None;
    uint32_t crc = 0;
    int64_t from = 0;  // the first byte covered
    int64_t to = 0;    // one past the last: the byte after the trailer's "." (ReadTrailer sets it)
};

struct PackageTrailer {
    int32_t length = 0;         // LEN: byte count of the settings block
    int32_t offset = 0;         // SEEK: file offset of the settings block
    int64_t trailerOffset = 0;  // where the trailer's "&" stands in the file
    int64_t dataEnd = 0;        // where the package's bytes end (a signature may follow)
    bool signatureDamaged = false;
    ChecksumRecord checksum;
    // What follows the trailer's "." up to the end of the package's bytes, zero-terminated.
    char tail[kTrailerWindowRoom] = {};
    size_t tailSize = 0;
};

// Parses the trailer text that follows the "&" (the "&" itself excluded).
PackageTrailer ParseTrailerText(const char* text, size_t size);

// Whether the block the trailer names lies between the file's start and the trailer itself.
bool BlockBeforeTrailer(const PackageTrailer& trailer);

// Reads the trailer of the file at `path`, or of a file the caller holds open, at the end of
// its bytes (package/package_end.h). False when the file cannot be opened, has no trailer or
// carries a damaged signature (`signatureDamaged`).
bool ReadTrailer(const platform::SysChar* path, PackageTrailer* trailer);
bool ReadTrailer(platform::RawFile& file, PackageTrailer* trailer);
// Reads the checksum record in the trailer's tail into `trailer->checksum`. Apart from
// ReadTrailer because an uninstaller's block has none.
void ReadChecksumRecord(PackageTrailer* trailer);

// Room for the longest trailer text and its zero.
constexpr size_t kTrailerRoom = 40;

// Writes the trailer text into `text` (kTrailerRoom bytes) and returns its length.
size_t FormatTrailer(int32_t length, int32_t offset, char* text);

// The checksum record's text (kTrailerRoom bytes) and its length.
size_t FormatChecksumRecord(uint32_t crc, int64_t from, char* text);

// Appends the trailer for a block of `length` bytes at `offset` at the file's current position.
// False when the write fails.
bool WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset);

}  // namespace package
