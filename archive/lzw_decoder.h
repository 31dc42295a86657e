// The variable-width LZW code of the archive's file nodes: codes of 9 to 12 bits, most
// significant bit first, a 4096-entry string table reset by ClearCode (256) and a stream ended
// by EndCode (257). The width is the bits of nextCode + 1, so it grows one code early: at
// nextCode 511, 1023 and 2047 (and to 13 at 4095, which the packer's streams never reach: they
// clear at 4092).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/byte_stream.h"
#include "archive/lzw_codes.h"

namespace archive {

class LzwDecoder {
public:
    static constexpr unsigned kClearCode = lzw::kClearCode;
    static constexpr unsigned kEndCode = lzw::kEndCode;
    static constexpr unsigned kFirstFreeCode = lzw::kFirstFreeCode;
    static constexpr unsigned kTableSize = lzw::kTableSize;

    // Reads at most `compressedSize` bytes from `source` and writes the decoded bytes to `sink`
    // in order. Ok only when the stream ended with EndCode; on any other status the bytes
    // already handed to the sink are the decoded prefix of a damaged stream. Exceptions of the
    // sink pass through.
    // A decoder keeps its buffers (about 230 KB) from one stream to the next: an installer that
    // decodes thousands of small files asks for them once.
    DecodeStatus Decode(uint32_t compressedSize, ByteSource& source, ByteSink& sink);

private:
    std::unique_ptr<unsigned char[]> input_;
    std::unique_ptr<unsigned char[]> output_;

    // Per code: the code it extends, its last byte, its first byte, its length, and where in
    // the output an earlier copy of it begins. The copy is used while it is still in the output
    // window; otherwise the string is written backwards from its last byte along the prefixes.
    struct Entry {
        uint32_t position;  // output position, modulo 2^32
        uint16_t prefix;
        uint16_t length;
        unsigned char last;
        unsigned char first;
    };
    Entry table_[kTableSize];
};

}  // namespace archive
