// The files of a solid archive (archive/tavq_format.h): one LZMA stream holds all their bytes
// in order. Asked for in order, as an installation asks, the stream is decoded once; a file
// asked for again (a retry) has the stream decoded again from its start.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/archive_reader.h"
#include "archive/lzma_decoder.h"
#include "platform/file.h"

namespace archive {

class SolidStream {
public:
    // The solid archive of `length` bytes at `offset` of `container`, which the stream reads by
    // position: its other readers may move the file's pointer between two files.
    SolidStream(platform::RawFile& container, int64_t offset, int64_t length)
        : container_(container), offset_(offset), length_(length) {}

    bool Holds(int64_t offset, int64_t length) const {
        return offset == offset_ && length == length_;
    }
    // File `part` (0 for the first) into `sink`; the files between the last one asked for and
    // this one are decoded and dropped. Damage fails the file it is found in and every later
    // one, at once, with the same result.
    ExtractResult Decode(uint32_t part, ByteSink& sink);

private:
    class Input : public ByteSource {
    public:
        Input(platform::RawFile& file, int64_t position) : file_(file), position_(position) {}
        size_t Read(unsigned char* buffer, size_t count) override;

    private:
        platform::RawFile& file_;
        int64_t position_;
    };

    // Reads the archive's head and its files' sizes.
    ExtractResult Open();
    // The stream from its start, positioned before the first file.
    ExtractResult Restart();
    ExtractResult Failed(Refusal refusal, DecodeStatus stream, uint32_t part);
    // The next part, whole and as its check says, into `sink`.
    DecodeStatus Next(ByteSink& sink);

    platform::RawFile& container_;
    int64_t offset_;
    int64_t length_;
    bool opened_ = false;
    ExtractResult head_;  // node 0: the stream; once Open has run, its result
    int64_t streamStart_ = 0;
    std::unique_ptr<uint32_t[]> sizes_;
    std::unique_ptr<uint32_t[]> checks_;
    // Per file: 0 when its bytes are in the stream, else the earlier file it copies plus one;
    // the bytes of each file that is copied, once decoded.
    std::unique_ptr<uint32_t[]> copyOf_;
    std::unique_ptr<std::unique_ptr<unsigned char[]>[]> kept_;
    uint32_t parts_ = 0;
    std::unique_ptr<Input> input_;
    LzmaDecoder decoder_;
    uint32_t next_ = 0;        // the file the stream stands before
    bool positioned_ = false;  // whether it stands at the start of next_
    uint32_t damagedFrom_ = UINT32_MAX;
    ExtractResult damage_;
};

// The compressed files of one package, decoded in the order they come: one decoder of each method
// for all of them, their buffers asked for once, and the solid stream of the last file that had
// one, standing where that file ended.
class FileDecoder {
public:
    explicit FileDecoder(platform::RawFile& package) : package_(package) {}
    // The file whose archive is `length` bytes at `offset` of the package; `solidPart` its place
    // in a solid archive (as the start-up's piece check found it), or -1.
    ExtractResult Decode(int64_t offset, int64_t length, int32_t solidPart, ByteSink& sink);

private:
    platform::RawFile& package_;
    std::unique_ptr<Decoders> decoders_;
    std::unique_ptr<SolidStream> solid_;
};

}  // namespace archive
