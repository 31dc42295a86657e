// Any bytes as an LZMA stream behind a header that names a size and a dictionary the harness
// keeps small: decoded as one file's node, or (first byte odd) as a solid archive of up to eight
// files asked for in an order the input chooses, as an installation's kept files and retries
// would, the last a copy of the first when the input says so. A file is whole or refused, and a
// refused one is refused again every later time. The
// CRC-32 of each node is what a first decoding of the stream yielded, so that the checks pass
// wherever the stream decodes.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/archive_reader.h"
#include "archive/lzma_decoder.h"
#include "archive/solid_stream.h"
#include "archive/tavq_format.h"

namespace {
namespace tavq = archive::tavq;

class Sink : public archive::ByteSink {
public:
    bool Write(const unsigned char*, size_t count) override {
        bytes += count;
        return true;
    }
    uint64_t bytes = 0;
};

class MemorySource : public archive::ByteSource {
public:
    explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
    size_t Read(unsigned char* buffer, size_t count) override {
        const size_t n = std::min(count, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

// The CRC-32 of each of `parts` pieces of the stream, as far as it decodes.
void Checks(const std::string& stream, const uint32_t* sizes, uint32_t parts, uint32_t* crcs) {
    archive::LzmaDecoder decoder;
    MemorySource source(stream);
    Sink sink;
    uint64_t size = 0;
    bool good = decoder.Start(stream.size(), source, &size) == archive::DecodeStatus::Ok;
    for (uint32_t i = 0; i < parts; ++i) {
        archive::SummingSink summed(sink);
        good = good && decoder.Next(sizes[i], summed) == archive::DecodeStatus::Ok;
        crcs[i] = summed.crc();
    }
}

std::string Node(uint32_t size, const std::string& stream, uint32_t check = 0) {
    unsigned char header[tavq::kNodeHeaderSize];
    tavq::WriteNodeHeader(header, size, static_cast<uint32_t>(stream.size()), 0, check);
    return std::string(reinterpret_cast<char*>(header), sizeof header) + stream;
}

std::string Head(uint16_t version, uint32_t nodes) {
    unsigned char bytes[tavq::kHeaderSize + tavq::kBeginMarkSize];
    tavq::WriteHeader(bytes, nodes, version);
    tavq::WriteBeginMark(bytes + tavq::kHeaderSize);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 16) return 0;
    // The header, its size at most 256 KiB and its dictionary at most 1 MiB.
    std::string stream(reinterpret_cast<const char*>(data + 1), 13);
    const uint32_t total = tavq::LoadU32(data + 6) & 0x3FFFF;
    tavq::StoreU32(reinterpret_cast<unsigned char*>(&stream[1]), tavq::LoadU32(data + 2) & 0xFFFFF);
    tavq::StoreU32(reinterpret_cast<unsigned char*>(&stream[5]), total);
    tavq::StoreU32(reinterpret_cast<unsigned char*>(&stream[9]), 0);
    const uint8_t order = data[14];
    stream.append(reinterpret_cast<const char*>(data + 15), size - 15);

    if (data[0] % 2 == 0) {
        uint32_t crc = 0;
        Checks(stream, &total, 1, &crc);
        const std::string archive = Head(tavq::kLzmaVersion, 1) + Node(total, stream, crc);
        Sink sink;
        const archive::ExtractResult result = archive::DecodeArchiveBytes(
            reinterpret_cast<const unsigned char*>(archive.data()), archive.size(), 0, sink);
        if (result.ok() && sink.bytes != total) __builtin_trap();
        return 0;
    }

    const uint32_t parts = data[0] / 2 % 8 + 1;
    // With the high bit, the last file copies the first: its bytes are not in the stream.
    const uint32_t copies = parts > 1 && data[0] & 0x80 ? 1 : 0;
    std::string archive = Head(tavq::kSolidVersion, parts + 1) + Node(total, stream);
    uint32_t sizes[8];
    uint32_t crcs[8];
    for (uint32_t i = 0, left = total; i < parts - copies; ++i) {
        sizes[i] = i + 1 == parts - copies ? left : left / 2;
        left -= sizes[i];
    }
    Checks(stream, sizes, parts - copies, crcs);
    for (uint32_t i = 0; i < parts - copies; ++i) archive += Node(sizes[i], "", crcs[i]);
    if (copies) {
        sizes[parts - 1] = sizes[0];
        unsigned char copy[tavq::kNodeHeaderSize];
        tavq::WriteNodeHeader(copy, sizes[0], 1, 0, crcs[0]);
        archive.append(reinterpret_cast<char*>(copy), sizeof copy);
    }
    static const std::string path = "/tmp/lzma_stream_fuzz." + std::to_string(getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(archive.data(), 1, archive.size(), file);
    std::fclose(file);
    platform::RawFile container;
    if (!container.OpenRead(path.c_str())) return 0;
    archive::SolidStream solid(container, 0, static_cast<int64_t>(archive.size()));
    bool failed[8] = {};
    for (int ask = 0; ask < 12; ++ask) {
        const uint32_t part = ((order >> (ask % 4 * 2) & 3) + ask / 4) % parts;
        Sink sink;
        const archive::ExtractResult result = solid.Decode(part, sink);
        if (result.ok() && (sink.bytes != sizes[part] || failed[part])) __builtin_trap();
        if (result.refusal == archive::Refusal::BadStream)
            for (uint32_t later = part; later < parts; ++later) failed[later] = true;
    }
    return 0;
}
