#include "tools/lzma_encoder.h"

#include <lzma.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "archive/tavq_format.h"

namespace sfxpack {

struct LzmaEncoder::State {
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_options_lzma options{};
    uint64_t total = 0;
    std::string out;
    ~State() { lzma_end(&stream); }
};

LzmaEncoder::LzmaEncoder(int level, uint64_t largestInput, bool text) : state_(new State) {
    State& s = *state_;
    if (level < 0 || level > 9 || lzma_lzma_preset(&s.options, static_cast<uint32_t>(level)))
        throw std::invalid_argument("the LZMA level " + std::to_string(level) +
                                    " is not one of 0 to 9");
    s.options.dict_size = static_cast<uint32_t>(std::max<uint64_t>(
        LZMA_DICT_SIZE_MIN, std::min<uint64_t>(s.options.dict_size, largestInput)));
    if (text) s.options.pb = 0;
    // No end mark: the header carries the size, and the installer stops there.
    s.options.ext_flags = 0;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &s.options}, {LZMA_VLI_UNKNOWN, nullptr}};
    const lzma_ret ret = lzma_raw_encoder(&s.stream, filters);
    if (ret != LZMA_OK)
        throw std::runtime_error(ret == LZMA_MEM_ERROR ? "not enough memory for the LZMA encoder"
                                                       : "liblzma refused the LZMA settings");
    s.out.assign(archive::tavq::kLzmaHeaderSize, '\0');
}

LzmaEncoder::~LzmaEncoder() = default;

void LzmaEncoder::Code(int action) {
    State& s = *state_;
    for (;;) {
        const size_t used = s.out.size();
        s.out.resize(used + std::max<size_t>(64 * 1024, s.stream.avail_in / 2));
        s.stream.next_out = reinterpret_cast<uint8_t*>(&s.out[used]);
        s.stream.avail_out = s.out.size() - used;
        const lzma_ret ret = lzma_code(&s.stream, static_cast<lzma_action>(action));
        s.out.resize(s.out.size() - s.stream.avail_out);
        if (ret == LZMA_STREAM_END) return;
        if (ret != LZMA_OK)
            throw std::runtime_error(ret == LZMA_MEM_ERROR
                                         ? "not enough memory for the LZMA encoder"
                                         : "the LZMA encoder failed");
        if (action == LZMA_RUN && s.stream.avail_in == 0) return;
    }
}

void LzmaEncoder::Add(const unsigned char* data, size_t size) {
    State& s = *state_;
    s.stream.next_in = data;
    s.stream.avail_in = size;
    s.total += size;
    Code(LZMA_RUN);
}

std::string LzmaEncoder::Finish() {
    State& s = *state_;
    s.stream.next_in = nullptr;
    s.stream.avail_in = 0;
    Code(LZMA_FINISH);
    // The header of the ".lzma" format: lc, lp and pb in one byte, the dictionary size, the
    // uncompressed size.
    unsigned char* header = reinterpret_cast<unsigned char*>(&s.out[0]);
    header[0] = static_cast<unsigned char>((s.options.pb * 5 + s.options.lp) * 9 + s.options.lc);
    archive::tavq::StoreU32(header + 1, s.options.dict_size);
    archive::tavq::StoreU32(header + 5, static_cast<uint32_t>(s.total));
    archive::tavq::StoreU32(header + 9, static_cast<uint32_t>(s.total >> 32));
    return std::move(s.out);
}

std::string LzmaEncode(const unsigned char* data, size_t size, int level) {
    // Text, as far as its first 4 KB tell: no NUL byte.
    const bool text = std::memchr(data, 0, std::min<size_t>(size, 4096)) == nullptr;
    LzmaEncoder encoder(level, size, text);
    encoder.Add(data, size);
    return encoder.Finish();
}

}  // namespace sfxpack
