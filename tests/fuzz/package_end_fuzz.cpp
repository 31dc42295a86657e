// Any bytes as a whole package file: the end that a signature leaves (the PE headers and the
// security directory), the trailer found before it and the checksum record after its ".". What
// is found must lie inside the file, in order.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "package/package_sum.h"
#include "package/trailer.h"
#include "platform/file.h"

namespace {
const char* ScratchFile() {
    static char path[] = "/tmp/package-end-fuzz-XXXXXX";
    static bool made = false;
    if (!made) {
        const int fd = mkstemp(path);
        if (fd < 0) abort();
        close(fd);
        made = true;
    }
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = ScratchFile();
    {
        platform::RawFile out;
        if (!out.Create(path) || !out.Write(data, size)) abort();
    }
    platform::RawFile file;
    if (!file.OpenRead(path)) abort();
    package::PackageTrailer trailer;
    if (!package::ReadTrailer(file, &trailer)) return 0;
    package::ReadChecksumRecord(&trailer);
    const int64_t length = static_cast<int64_t>(size);
    if (trailer.dataEnd > length || trailer.trailerOffset < 0 ||
        trailer.trailerOffset >= trailer.dataEnd)
        __builtin_trap();
    const package::ChecksumRecord& record = trailer.checksum;
    if (record.state == package::ChecksumRecord::State::Present) {
        if (record.from < 0 || record.from > trailer.trailerOffset || record.to > trailer.dataEnd)
            __builtin_trap();
        package::CheckPackageSum(file, record);
    }
    return 0;
}
