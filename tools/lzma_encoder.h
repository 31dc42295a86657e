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
    // `text`: the input looks like text, whose bytes do not come in the 4-byte groups that
    // LZMA's default position bits assume (pb 0 made the text files of a 100 MB tree 0.3%
    // smaller, binaries larger).
    LzmaEncoder(int level, uint64_t largestInput, bool text = false);
    ~LzmaEncoder();
    LzmaEncoder(const LzmaEncoder&) = delete;
    LzmaEncoder& operator=(const LzmaEncoder&) = delete;

    void Add(const unsigned char* data, size_t size);
    // The whole stream, header first. The encoder is spent.
    std::string Finish();

    // xz's default, and the effort of NSIS's LZMA. A solid stream takes the preset with the
    // largest dictionary the installer accepts (64 MiB): its files find their like across the
    // whole stream, which made a 100 MB tree 12% smaller than with the 8 MiB of level 6.
    static constexpr int kDefaultLevel = 6;
    static constexpr int kDefaultSolidLevel = 9;

private:
    void Code(int action);

    struct State;
    std::unique_ptr<State> state_;
};

// One whole stream of `data`, with the position bits that suit it.
std::string LzmaEncode(const unsigned char* data, size_t size, int level);

}  // namespace sfxpack
