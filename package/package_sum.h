// The check of a package's checksum record (package/trailer.h) against its bytes: a damaged
// download is refused before the first page, before anything is written.
#pragma once

#include <cstdint>

#include "package/trailer.h"
#include "platform/file.h"

namespace package {

// Told how far the check has come; false stops it.
class SumProgress {
public:
    virtual ~SumProgress() = default;
    virtual bool Advance(int64_t done, int64_t total) = 0;
};

enum class SumResult { Match, Mismatch, CannotRead, Cancelled };

// Reads the bytes the record covers through a bounded buffer. A record that is not Present
// (none, or damaged) is the caller's to judge: this answers Mismatch for it.
SumResult CheckPackageSum(platform::RawFile& file, const ChecksumRecord& record,
                          SumProgress* progress = nullptr);

// The CRC-32 of `count` bytes of `file` from `from`: Match when all were read (a caller
// compares `crc`), CannotRead or Cancelled otherwise.
SumResult SumOfRange(platform::RawFile& file, int64_t from, int64_t count, uint32_t* crc,
                     SumProgress* progress = nullptr);

}  // namespace package
