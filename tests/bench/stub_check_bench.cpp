// The start-up check as the stub carries it: built with the stub's flags and run under Wine, it
// opens a package as the installer opens itself, finds its end and sums every byte its record
// covers, and prints the time, as a user's machine would wait before the first page.
//
//   stub_check_bench.exe PACKAGE
#include <windows.h>

#include <cstdio>

#include "package/package_sum.h"
#include "package/trailer.h"
#include "platform/file.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stub_check_bench PACKAGE\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    platform::RawFile file;
    package::PackageTrailer trailer;
    if (!file.OpenReadLocked(argv[1]) || !package::ReadTrailer(file, &trailer)) {
        std::fprintf(stderr, "stub_check_bench: no package\n");
        return 1;
    }
    package::ReadChecksumRecord(&trailer);
    const package::SumResult result = package::CheckPackageSum(file, trailer.checksum);
    QueryPerformanceCounter(&end);
    if (result != package::SumResult::Match) {
        std::fprintf(stderr, "stub_check_bench: the checksum does not match\n");
        return 1;
    }
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    const double bytes = static_cast<double>(trailer.checksum.to - trailer.checksum.from);
    std::printf("check %.0f bytes in %.3f s: %.1f MB/s\n", bytes, seconds, bytes / 1e6 / seconds);
    return 0;
}
