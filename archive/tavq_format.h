// The "TAVQ" archive's fixed parts, field by field, with the one parser and the one writer of
// each: the installer's reader parses them, the packer's archive writer writes them, and
// `sfxpack verify` parses a node to see that it stays inside its piece. All numbers are little
// endian.
//
//   header (12)     "TAVQ", version u16, filler CC CC, node count u32 (never checked)
//   begin mark (6)  node mark u16 0x00EE, compress mark u16 0x0090, reserved u16
//   node (20)       mark u16 0x00FF, filler CC CC, check u32, uncompressed size u32,
//                   compressed size u32, name length u16, filler CC CC;
//                   then the name (never read back) and the compressed stream
//
// Versions 0 to 10 hold LZW streams. A set high byte names another method: a reader that knows
// only LZW refuses such an archive ("not the version") instead of installing its bytes as LZW.
// LZW nodes leave the check 0 and no reader looks at it; an LZMA node's is the CRC-32 of the
// bytes it yields, which LZMA itself does not check: a damaged stream can decode to other bytes
// without an error.
//   0x010A  LZMA, one node per file: the node's stream is the 13-byte header of the ".lzma"
//           format (properties byte, dictionary size u32, uncompressed size u64, never
//           "unknown"), then the range-coded data, with or without an end mark.
//   0x020A  solid LZMA: node 0 holds one LZMA stream (as above) of many files' bytes in order,
//           its uncompressed size their sum, its check 0; nodes 1 to N, with no name and no
//           stream, hold each file's size and check. Every file of the stream names the whole
//           archive as its piece; its place among the package's files that name it says which node
//           is its own. A file of the same bytes as an earlier one of the stream is not in the
//           stream again: its node's compressed size is the earlier file's place plus one (and
//           the installer keeps such earlier files in memory, kSolidKeptRoom bytes at most).
//
// Header-only, no library strings: the installer includes it as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace archive {
namespace tavq {

constexpr char kMagic[4] = {'T', 'A', 'V', 'Q'};
// The version the packer writes; the reader takes any version from 0 to this one.
constexpr uint16_t kVersion = 10;
constexpr uint16_t kLzmaVersion = 0x0100 | kVersion;
constexpr uint16_t kSolidVersion = 0x0200 | kVersion;
constexpr uint16_t kNodeMark = 0x00EE;
constexpr uint16_t kCompressMark = 0x0090;
constexpr uint16_t kFileHeadMark = 0x00FF;
constexpr unsigned char kFiller = 0xCC;

constexpr size_t kHeaderSize = 12;
constexpr size_t kBeginMarkSize = 6;
constexpr size_t kNodeHeaderSize = 20;
// Header, begin mark and one empty node: the smallest archive that can pass the checks.
constexpr size_t kMinimumArchiveSize = kHeaderSize + kBeginMarkSize + kNodeHeaderSize;
// The first node's header starts here.
constexpr size_t kFirstNodeOffset = kHeaderSize + kBeginMarkSize;

inline uint16_t LoadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void StoreU16(unsigned char* p, uint32_t value) {
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>(value >> 8 & 0xFF);
}
inline void StoreU32(unsigned char* p, uint32_t value) {
    StoreU16(p, value & 0xFFFF);
    StoreU16(p + 2, value >> 16);
}

struct Header {
    bool magic = false;  // the first four bytes are "TAVQ"
    uint16_t version = 0;
    uint32_t nodeCount = 0;
};

struct BeginMark {
    uint16_t nodeMark = 0;
    uint16_t compressMark = 0;
};

struct NodeHeader {
    uint16_t mark = 0;
    uint32_t check = 0;             // LZMA nodes: the CRC-32 of the bytes they yield
    uint32_t uncompressedSize = 0;  // what an LZW node says; the reader never checks it
    uint32_t compressedSize = 0;
    uint16_t nameLength = 0;
    // The node's bytes from its header to the end of its stream.
    uint64_t Span() const { return kNodeHeaderSize + uint64_t{nameLength} + compressedSize; }
};

// `p` holds kHeaderSize, kBeginMarkSize or kNodeHeaderSize bytes.
inline Header ParseHeader(const unsigned char* p) {
    Header header;
    header.magic = std::memcmp(p, kMagic, sizeof kMagic) == 0;
    header.version = LoadU16(p + 4);
    header.nodeCount = LoadU32(p + 8);
    return header;
}
inline BeginMark ParseBeginMark(const unsigned char* p) {
    BeginMark mark;
    mark.nodeMark = LoadU16(p);
    mark.compressMark = LoadU16(p + 2);
    return mark;
}
inline NodeHeader ParseNodeHeader(const unsigned char* p) {
    NodeHeader node;
    node.mark = LoadU16(p);
    node.check = LoadU32(p + 4);
    node.uncompressedSize = LoadU32(p + 8);
    node.compressedSize = LoadU32(p + 12);
    node.nameLength = LoadU16(p + 16);
    return node;
}

// Versions 0 to kVersion in the low byte; a set high byte is no version the reader knows.
inline bool IsKnownVersion(uint16_t version) {
    return (version >> 8) == 0 && (version & 0xFF) <= kVersion;
}

enum class Method { Unknown, Lzw, Lzma, Solid };
inline Method MethodOf(uint16_t version) {
    if (IsKnownVersion(version)) return Method::Lzw;
    if (version == kLzmaVersion) return Method::Lzma;
    return version == kSolidVersion ? Method::Solid : Method::Unknown;
}

// A solid archive, from its head (its first kMinimumArchiveSize bytes): where its files' nodes
// begin, and whether `node` may be the node of its file at `place` (no name; a stream of its own,
// 0, or a copy of an earlier file).
inline uint64_t SolidFilesOffset(const unsigned char* head) {
    return kFirstNodeOffset + ParseNodeHeader(head + kFirstNodeOffset).Span();
}
inline bool IsSolidFileNode(const NodeHeader& node, uint32_t place) {
    return node.mark == kFileHeadMark && node.compressedSize <= place && node.nameLength == 0;
}

constexpr size_t kLzmaHeaderSize = 13;
constexpr uint32_t kSolidKeptRoom = 16u << 20;

// The packer's side: `p` has room for the part's size.
inline void WriteHeader(unsigned char* p, uint32_t nodeCount, uint16_t version = kVersion) {
    std::memcpy(p, kMagic, sizeof kMagic);
    StoreU16(p + 4, version);
    p[6] = p[7] = kFiller;
    StoreU32(p + 8, nodeCount);
}
inline void WriteBeginMark(unsigned char* p) {
    StoreU16(p, kNodeMark);
    StoreU16(p + 2, kCompressMark);
    StoreU16(p + 4, 0);
}
inline void WriteNodeHeader(unsigned char* p, uint32_t uncompressedSize, uint32_t compressedSize,
                            uint16_t nameLength, uint32_t check = 0) {
    StoreU16(p, kFileHeadMark);
    p[2] = p[3] = kFiller;
    StoreU32(p + 4, check);
    StoreU32(p + 8, uncompressedSize);
    StoreU32(p + 12, compressedSize);
    StoreU16(p + 16, nameLength);
    p[18] = p[19] = kFiller;
}

}  // namespace tavq
}  // namespace archive
