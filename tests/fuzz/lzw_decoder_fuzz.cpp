// Any bytes as a compressed stream: the decoder must stop inside its buffers, whatever it
// decides about the stream. The first byte picks how many bytes the source hands out per read,
// so that refills fall at every position.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archive/lzw_decoder.h"

namespace {
class Source : public archive::ByteSource {
public:
    Source(const uint8_t* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    size_t Read(unsigned char* buffer, size_t count) override {
        size_t n = count < piece_ ? count : piece_;
        if (n > size_ - pos_) n = size_ - pos_;
        std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t pos_ = 0;
};

class Sink : public archive::ByteSink {
public:
    bool Write(const unsigned char* data, size_t count) override {
        // Touch every byte, so the sanitizers see a write past the buffer's filled part.
        for (size_t i = 0; i < count; ++i) sum += data[i];
        return true;
    }
    unsigned sum = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t piece = data[0] < 16 ? data[0] + 1u : 65536;
    Source source(data + 1, size - 1, piece);
    Sink sink;
    archive::LzwDecoder decoder;
    decoder.Decode(static_cast<uint32_t>(size - 1), source, sink);
    return 0;
}
