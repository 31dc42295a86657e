// Where the decoder takes compressed bytes from and where it puts decoded ones. Files in the
// installer, memory in the tests and fuzzers, nowhere at all in `sfxpack verify`.
#pragma once

#include <cstddef>
#include <cstdint>

namespace archive {

enum class DecodeStatus {
    Ok,
    NoClearCodeFirst,  // the first code is not ClearCode: there is no previous string
    InputEnded,        // the compressed bytes ran out before EndCode
    TableFull,         // a string would go past code 4095 without a ClearCode
    CodeOutOfRange,    // a code above the next free one
    NoPreviousString,  // an empty slot (or a code after ClearCode) with no string before it
    OutputFailed,      // the sink refused the decoded bytes (a full disk)
    NoMemory,          // the decoder's buffers could not be had
    // LZMA streams
    BadHeader,           // the 13-byte header is cut short, unsupported or says "size unknown"
    DictionaryTooLarge,  // the header asks for a dictionary above LzmaDecoder's limit
    DataError,           // the range-coded data is not a valid LZMA stream
    WrongLength,         // the stream yields another size than its header or node says
    TrailingData,        // compressed bytes are left over after the last decoded byte
    InSolidStream,       // a solid archive's files are decoded in order, by SolidStream
    WrongCheck,          // the bytes decoded are not those the node's CRC-32 was made of
};

// A short English sentence for the status, for the publisher's tool.
const char* DecodeStatusText(DecodeStatus status);

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

// Passes the bytes on and sums them with the CRC-32 of the package's checksum.
class SummingSink : public ByteSink {
public:
    explicit SummingSink(ByteSink& sink) : sink_(sink) {}
    bool Write(const unsigned char* data, size_t count) override;
    uint32_t crc() const { return crc_; }

private:
    ByteSink& sink_;
    uint32_t crc_ = 0;
};

}  // namespace archive
