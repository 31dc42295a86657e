// Writes "TAVQ" archives: one node per file, each node's data LZW-encoded (version 10) or
// LZMA-encoded (archive/tavq_format.h), and the solid archives of LZMA packages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sfxpack {

enum class Method { Lzw, Lzma };

struct TavqNode {
    std::string name;  // stored name, GBK; the installer never reads it
    std::string data;  // the file's bytes, uncompressed
};

// The whole archive, nodes in the order given. `level` is the LZMA preset.
std::string BuildTavqArchive(const std::vector<TavqNode>& nodes, Method method = Method::Lzw,
                             int level = 6);

// One file of a solid stream: its size, the CRC-32 of its bytes and, for a file of the same
// bytes as an earlier one, which is not in the stream again, that file's place plus one.
struct SolidPart {
    uint32_t size;
    uint32_t crc;
    uint32_t copyOf = 0;
};

// A solid archive: `stream`, an LZMA stream of the files' bytes in order (LzmaEncoder), and
// each file's part.
std::string BuildSolidArchive(const std::string& stream, const std::vector<SolidPart>& parts);

}  // namespace sfxpack
