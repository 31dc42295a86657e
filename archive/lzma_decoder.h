// The LZMA streams of the archive's LZMA nodes: the 13-byte header of the ".lzma" format, then
// the range-coded data. The decoding itself is the LZMA SDK's LzmaDec.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/byte_stream.h"

namespace archive {

class LzmaDecoder {
public:
    // A stream's header alone must not have the installer ask for any memory it names: larger
    // dictionaries are refused. The memory a stream takes is its dictionary or, when smaller,
    // its uncompressed size, and about 30 KB more.
    static constexpr uint32_t kLargestDictionary = 64u << 20;

    LzmaDecoder();
    ~LzmaDecoder();
    LzmaDecoder(const LzmaDecoder&) = delete;
    LzmaDecoder& operator=(const LzmaDecoder&) = delete;

    // A whole stream of `compressedSize` bytes (its header included) into `sink`: Ok only when it
    // yields exactly `expectedSize` bytes, as its header must also say, and uses every byte.
    DecodeStatus Decode(uint32_t compressedSize, uint32_t expectedSize, ByteSource& source,
                        ByteSink& sink);

    // The same in steps, for a stream that holds many files. Start reads the header from
    // `source`, which the decoder reads from until the stream ends; `size` receives what the
    // header says the stream yields.
    DecodeStatus Start(uint64_t compressedSize, ByteSource& source, uint64_t* size);
    // The next `count` bytes into `sink`.
    DecodeStatus Next(uint64_t count, ByteSink& sink);
    // After the last byte: whether the stream ends there, with every compressed byte used.
    DecodeStatus Finish();

private:
    bool Fill();

    struct State;
    std::unique_ptr<State> state_;  // with its buffers, from the first stream on
};

}  // namespace archive
