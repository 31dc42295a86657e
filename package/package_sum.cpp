#include "package/package_sum.h"

#include <memory>
#include <new>

#include "package/crc32.h"

namespace package {

namespace {
// Large reads: under Wine each read is a call to the server.
constexpr size_t kBuffer = 256 * 1024;
}  // namespace

SumResult SumOfRange(platform::RawFile& file, int64_t from, int64_t count, uint32_t* crc,
                     SumProgress* progress) {
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kBuffer]);
    if (!buffer || from < 0 || count < 0 ||
        file.Seek(from, platform::RawFile::Origin::Begin) != from)
        return SumResult::CannotRead;
    *crc = 0;
    for (int64_t done = 0; done < count;) {
        const size_t want = count - done < static_cast<int64_t>(kBuffer)
                                ? static_cast<size_t>(count - done)
                                : kBuffer;
        const size_t got = file.Read(buffer.get(), want);
        if (got == 0) return SumResult::CannotRead;
        *crc = Crc32(*crc, buffer.get(), got);
        done += static_cast<int64_t>(got);
        if (progress && !progress->Advance(done, count)) return SumResult::Cancelled;
    }
    return SumResult::Match;
}

SumResult CheckPackageSum(platform::RawFile& file, const ChecksumRecord& record,
                          SumProgress* progress) {
    if (record.state != ChecksumRecord::State::Present) return SumResult::Mismatch;
    uint32_t crc = 0;
    const SumResult read = SumOfRange(file, record.from, record.to - record.from, &crc, progress);
    if (read != SumResult::Match) return read;
    return crc == record.crc ? SumResult::Match : SumResult::Mismatch;
}

}  // namespace package
