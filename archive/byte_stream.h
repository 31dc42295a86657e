// Where the decoder takes compressed bytes from and where it puts decoded ones. Files in the
// installer, memory in the tests and fuzzers, nowhere at all in `sfxpack verify`.
#pragma once

#include <cstddef>

namespace archive {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `count` bytes into `buffer` and returns how many were read; 0 only at the end
    // of the input.
    virtual size_t Read(unsigned char* buffer, size_t count) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes `count` decoded bytes, in order. False when they could not be taken (a full disk);
    // the decoder stops there.
    virtual bool Write(const unsigned char* data, size_t count) = 0;
};

}  // namespace archive
