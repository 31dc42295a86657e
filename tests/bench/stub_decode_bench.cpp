// The decoder as the stub carries it: built with the stub's flags and run under Wine, it
// extracts node 0 of a TAVQ archive into a file and prints the rate, as a user's machine would
// see it while installing.
//
//   stub_decode_bench.exe ARCHIVE OUT
#include <windows.h>

#include <cstdio>

#include "archive/archive_reader.h"
#include "platform/file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: stub_decode_bench ARCHIVE OUT\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    archive::ExtractResult result;
    const int extracted = archive::ArchiveReader::ExtractFile(argv[1], argv[2], 0, &result);
    QueryPerformanceCounter(&end);
    if (!extracted) {
        std::fprintf(stderr, "stub_decode_bench: %s\n", result.Reason());
        return 1;
    }
    platform::RawFile out;
    if (!out.OpenRead(argv[2])) return 1;
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("decode %lld bytes in %.3f s: %.1f MB/s\n", static_cast<long long>(out.Length()),
                seconds, static_cast<double>(out.Length()) / 1e6 / seconds);
    return 0;
}
