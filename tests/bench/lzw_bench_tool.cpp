// The two halves of the decoder benchmark, timed from inside:
//   lzw_bench_tool pack IN ARCHIVE      encodes IN as a one-node TAVQ archive
//   lzw_bench_tool extract ARCHIVE OUT  extracts node 0 with the installer's reader
//   lzw_bench_tool decode ARCHIVE       decodes node 0 and keeps nothing (no file written)
// Each prints "<what> <bytes> bytes <seconds> s <MB/s> MB/s", MB/s counted on the uncompressed
// bytes. Extraction runs in its own process so that its peak memory can be measured alone.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/archive_reader.h"
#include "platform/file.h"
#include "tools/tavq_writer.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, int64_t bytes, double seconds) {
    std::printf("%s %lld bytes %.3f s %.1f MB/s\n", what, static_cast<long long>(bytes), seconds,
                static_cast<double>(bytes) / 1e6 / seconds);
}

int Pack(const char* in, const char* out) {
    platform::RawFile file;
    if (!file.OpenRead(in)) return 1;
    sfxpack::TavqNode node{"corpus.bin", std::string(static_cast<size_t>(file.Length()), '\0')};
    node.data.resize(file.Read(&node.data[0], node.data.size()));
    const auto start = std::chrono::steady_clock::now();
    const std::string archive = sfxpack::BuildTavqArchive({node});
    Report("encode", static_cast<int64_t>(node.data.size()), Seconds(start));
    platform::RawFile output;
    return output.Create(out) && output.Write(archive.data(), archive.size()) ? 0 : 1;
}

int Extract(const char* archive, const char* out) {
    const auto start = std::chrono::steady_clock::now();
    if (archive::ArchiveReader::ExtractFile(archive, out, 0) != 1) return 1;
    const double seconds = Seconds(start);
    platform::RawFile file;
    file.OpenRead(out);
    Report("decode", file.Length(), seconds);
    return 0;
}

// Decoding alone: the same reader into a sink that keeps nothing.
int DecodeOnly(const char* archive) {
    struct : archive::ByteSink {
        bool Write(const unsigned char*, size_t count) override {
            bytes += count;
            return true;
        }
        int64_t bytes = 0;
    } sink;
    platform::RawFile file;
    if (!file.OpenRead(archive)) return 1;
    const int64_t length = file.Length();
    file.Close();
    const auto start = std::chrono::steady_clock::now();
    if (!archive::DecodeEmbedded(archive, 0, length, 0, sink).ok()) return 1;
    Report("decode-only", sink.bytes, Seconds(start));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "pack") == 0) return Pack(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "extract") == 0) return Extract(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "decode") == 0) return DecodeOnly(argv[2]);
    std::fprintf(stderr,
                 "usage: lzw_bench_tool pack IN ARCHIVE | extract ARCHIVE OUT | decode ARCHIVE\n");
    return 2;
}
