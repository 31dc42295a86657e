// The publisher's side of the archive's LZMA streams: the 13-byte ".lzma" header with the
// uncompressed size written out, then the data without an end mark (the size says where it
// ends), as the installer's decoder reads them. liblzma (xz-utils) encodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sfxpack {

class LzmaEncoder {
public:
    // `level` is one of xz's presets, 0 to 9. The dictionary is the preset's, but never larger
    // than `largestInput` (at least 4 KiB): a small file needs no 64 MiB for it, nor does the
    // installer that decodes it.
    LzmaEncoder(int level, uint64_t largestInput);
    ~LzmaEncoder();
    LzmaEncoder(const LzmaEncoder&) = delete;
    LzmaEncoder& operator=(const LzmaEncoder&) = delete;

    void Add(const unsigned char* data, size_t size);
    // The whole stream, header first. The encoder is spent.
    std::string Finish();

    static constexpr int kDefaultLevel = 6;

private:
    void Code(int action);

    struct State;
    std::unique_ptr<State> state_;
};

// One whole stream of `data`.
std::string LzmaEncode(const unsigned char* data, size_t size, int level);

}  // namespace sfxpack
