// Byte sources and sinks in memory for the decoder's tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "archive/byte_stream.h"

// Hands out at most `piece` bytes per read, and counts what was asked of it.
class StringSource : public archive::ByteSource {
public:
    explicit StringSource(std::string bytes, size_t piece = static_cast<size_t>(-1))
        : bytes_(std::move(bytes)), piece_(piece) {}
    size_t Read(unsigned char* buffer, size_t count) override {
        requested += count;
        const size_t n = std::min({count, piece_, bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    size_t requested = 0;

private:
    std::string bytes_;
    size_t piece_;
    size_t pos_ = 0;
};

class StringSink : public archive::ByteSink {
public:
    bool Write(const unsigned char* data, size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
        return true;
    }
    std::string bytes;
};
