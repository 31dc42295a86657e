#include "archive/archive_reader.h"

#include <cstring>
#include <memory>
#include <new>

#include "package/crc32.h"
#include "platform/file.h"

namespace archive {

namespace {

class ArchiveInput : public ByteSource {
public:
    virtual void Skip(uint64_t count) = 0;
    // Reads exactly `count` bytes; what lies past the end of the input reads as zero, so a cut
    // archive fails on the mark it does not hold.
    void ReadRecord(unsigned char* record, size_t count) {
        std::memset(record, 0, count);
        Read(record, count);
    }
};

class FileInput : public ArchiveInput {
public:
    explicit FileInput(platform::RawFile& file) : file_(file) {}
    size_t Read(unsigned char* buffer, size_t count) override { return file_.Read(buffer, count); }
    void Skip(uint64_t count) override {
        file_.Seek(static_cast<int64_t>(count), platform::RawFile::Origin::Current);
    }

private:
    platform::RawFile& file_;
};

class MemoryInput : public ArchiveInput {
public:
    MemoryInput(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    size_t Read(unsigned char* buffer, size_t count) override {
        const size_t n = count < size_ - pos_ ? count : size_ - pos_;
        if (n > 0) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    void Skip(uint64_t count) override { pos_ = count < size_ - pos_ ? pos_ + count : size_; }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Steps 3 to 6 of an extraction: the header, the begin mark and the node headers up to the
// one asked for, which is left with the input at its compressed data.
Refusal CheckAndSeekNode(ArchiveInput& input, uint32_t nodeIndex, ExtractResult* result) {
    unsigned char header[tavq::kHeaderSize];
    input.ReadRecord(header, sizeof header);
    const tavq::Header parsed = tavq::ParseHeader(header);
    if (!parsed.magic) return Refusal::NotTavq;
    result->method = tavq::MethodOf(parsed.version);
    if (result->method == tavq::Method::Unknown) return Refusal::NotTheVersion;

    unsigned char mark[tavq::kBeginMarkSize];
    input.ReadRecord(mark, sizeof mark);
    const tavq::BeginMark begin = tavq::ParseBeginMark(mark);
    if (begin.nodeMark != tavq::kNodeMark) return Refusal::NotNode;
    if (begin.compressMark != tavq::kCompressMark) return Refusal::NotBeginCompress;

    unsigned char bytes[tavq::kNodeHeaderSize];
    for (uint32_t i = 0;; ++i) {
        input.ReadRecord(bytes, sizeof bytes);
        const tavq::NodeHeader node = tavq::ParseNodeHeader(bytes);
        if (node.mark != tavq::kFileHeadMark) return Refusal::NotFileHead;
        if (i == nodeIndex) {
            input.Skip(node.nameLength);
            result->uncompressedSize = node.uncompressedSize;
            result->compressedSize = node.compressedSize;
            result->nameLength = node.nameLength;
            result->check = node.check;
            return Refusal::None;
        }
        input.Skip(static_cast<uint64_t>(node.compressedSize) + node.nameLength);
    }
}

// LZMA checks nothing of what it yields: the node's CRC-32 does.
DecodeStatus DecodeLzma(LzmaDecoder& decoder, ArchiveInput& input, ByteSink& sink,
                        const ExtractResult& node) {
    SummingSink summed(sink);
    const DecodeStatus status =
        decoder.Decode(node.compressedSize, node.uncompressedSize, input, summed);
    if (status != DecodeStatus::Ok) return status;
    return summed.crc() == node.check ? DecodeStatus::Ok : DecodeStatus::WrongCheck;
}

// The one decode path: the stream of the node CheckAndSeekNode found, into `sink`. Without
// decoders of the caller's, ones for this stream, on the heap: the LZW table is 48 KB, and the
// stub's threads keep their stacks small.
void DecodeStream(ArchiveInput& input, ByteSink& sink, Decoders* decoders, ExtractResult* result) {
    if (result->method == tavq::Method::Solid) {
        result->stream = DecodeStatus::InSolidStream;
    } else if (result->method == tavq::Method::Lzw && result->compressedSize == 0) {
        return;
    } else {
        std::unique_ptr<Decoders> own;
        if (!decoders) {
            own.reset(new (std::nothrow) Decoders);
            decoders = own.get();
        }
        if (!decoders)
            result->stream = DecodeStatus::NoMemory;
        else if (result->method == tavq::Method::Lzma)
            result->stream = DecodeLzma(decoders->lzma, input, sink, *result);
        else
            result->stream = decoders->lzw.Decode(result->compressedSize, input, sink);
    }
    if (result->stream == DecodeStatus::OutputFailed)
        result->refusal = Refusal::CannotWrite;
    else if (result->stream != DecodeStatus::Ok)
        result->refusal = Refusal::BadStream;
}

ExtractResult DecodeNode(ArchiveInput& input, uint32_t nodeIndex, ByteSink& sink,
                         Decoders* decoders) {
    ExtractResult result;
    result.refusal = CheckAndSeekNode(input, nodeIndex, &result);
    if (result.ok()) DecodeStream(input, sink, decoders, &result);
    return result;
}

// Checks the archive, then creates the output only once every check has passed, decodes into
// it, and removes it again when the stream proves damaged or a write fails: no caller ever
// finds half a file under the name it asked for.
int ExtractTo(ArchiveInput& input, const char* outputPath, uint32_t nodeIndex,
              ExtractResult* result) {
    result->refusal = CheckAndSeekNode(input, nodeIndex, result);
    if (!result->ok()) return 0;

    platform::RawFile output;
    if (!output.Create(outputPath)) {
        result->refusal = Refusal::CannotWrite;
        result->error = output.error();
        return 0;
    }
    FileSink sink(output);
    DecodeStream(input, sink, nullptr, result);
    if (result->ok() && !output.Flush()) {
        result->stream = DecodeStatus::OutputFailed;
        result->refusal = Refusal::CannotWrite;
    }
    output.Close();
    if (result->ok()) return 1;
    platform::RemoveFile(outputPath);
    result->error = output.error();
    return 0;
}

}  // namespace

bool SummingSink::Write(const unsigned char* data, size_t count) {
    crc_ = package::Crc32(crc_, data, count);
    return sink_.Write(data, count);
}

const char* DecodeStatusText(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::Ok: return "the stream decoded completely";
        case DecodeStatus::NoClearCodeFirst: return "the stream does not begin with a clear code";
        case DecodeStatus::InputEnded: return "the stream ends without an end code";
        case DecodeStatus::TableFull: return "the string table is full and no clear code follows";
        case DecodeStatus::CodeOutOfRange: return "the stream refers to a code not yet defined";
        case DecodeStatus::NoPreviousString:
            return "the stream defines a string with no string before it";
        case DecodeStatus::OutputFailed: return "the decoded bytes could not be written";
        case DecodeStatus::NoMemory: return "there is not enough memory to decode";
        case DecodeStatus::BadHeader: return "the LZMA header is cut short or not supported";
        case DecodeStatus::DictionaryTooLarge:
            return "the LZMA stream asks for a dictionary larger than 64 MiB";
        case DecodeStatus::DataError: return "the LZMA data is damaged";
        case DecodeStatus::WrongLength:
            return "the LZMA stream yields another size than its header says";
        case DecodeStatus::TrailingData: return "bytes are left over after the LZMA stream";
        case DecodeStatus::WrongCheck:
            return "the decoded bytes do not match the CRC-32 the packer stored";
        case DecodeStatus::InSolidStream:
            return "the node belongs to a solid stream, which is decoded in order";
    }
    return "the stream is damaged";
}

const char* RefusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::None: return "";
        case Refusal::NotTavq: return "not tavq file";
        case Refusal::NotTheVersion: return "not the version";
        case Refusal::NotNode: return "not tavq file node";
        case Refusal::NotBeginCompress: return "not begin compress";
        case Refusal::NotFileHead: return "not tavq single file head";
        case Refusal::TooShort:
        case Refusal::CannotOpen:
        case Refusal::BadStream:
        case Refusal::CannotWrite:
        case Refusal::NodeOutside: break;
    }
    return "error tavq file";
}

const char* ExtractResult::Reason() const {
    switch (refusal) {
        case Refusal::None: return "";
        case Refusal::TooShort: return "error tavq file: the archive is shorter than 38 bytes";
        case Refusal::CannotOpen: return "the archive cannot be opened";
        case Refusal::BadStream: return DecodeStatusText(stream);
        case Refusal::CannotWrite: return "the output cannot be created or written";
        case Refusal::NodeOutside: return "the node runs past the bytes stored for the archive";
        default: return RefusalText(refusal);
    }
}

int ArchiveReader::ExtractFile(const char* archivePath, const char* outputPath, uint32_t nodeIndex,
                               ExtractResult* result) {
    ExtractResult local;
    if (!result) result = &local;
    *result = ExtractResult();
    platform::RawFile file;
    result->refusal = Refusal::CannotOpen;
    int extracted = 0;
    if (file.OpenRead(archivePath)) {
        if (file.Length() < kMinimumArchiveSize) {
            result->refusal = Refusal::TooShort;
        } else {
            FileInput input(file);
            extracted = ExtractTo(input, outputPath, nodeIndex, result);
        }
    }
    file.Close();
    return extracted;
}

int ArchiveReader::ExtractEmbedded(const platform::SysChar* containerPath, const char* outputPath,
                                   int64_t archiveOffset, int64_t archiveLength, uint32_t nodeIndex,
                                   ExtractResult* result) {
    ExtractResult local;
    if (!result) result = &local;
    *result = ExtractResult();
    platform::RawFile file;
    result->refusal = Refusal::CannotOpen;
    if (!file.OpenRead(containerPath)) return 0;
    result->refusal = Refusal::TooShort;
    if (archiveLength < kMinimumArchiveSize) return 0;
    result->refusal = Refusal::NotTavq;
    if (archiveOffset < 0 || file.Seek(archiveOffset, platform::RawFile::Origin::Begin) < 0)
        return 0;
    FileInput input(file);
    return ExtractTo(input, outputPath, nodeIndex, result);
}

ExtractResult DecodeEmbedded(const platform::SysChar* containerPath, int64_t archiveOffset,
                             int64_t archiveLength, uint32_t nodeIndex, ByteSink& sink,
                             Decoders* decoders) {
    platform::RawFile file;
    if (!file.OpenRead(containerPath)) {
        ExtractResult result;
        result.refusal = Refusal::CannotOpen;
        return result;
    }
    return DecodeEmbedded(file, archiveOffset, archiveLength, nodeIndex, sink, decoders);
}

ExtractResult DecodeEmbedded(platform::RawFile& file, int64_t archiveOffset, int64_t archiveLength,
                             uint32_t nodeIndex, ByteSink& sink, Decoders* decoders) {
    ExtractResult result;
    if (archiveLength < kMinimumArchiveSize) {
        result.refusal = Refusal::TooShort;
        return result;
    }
    if (archiveOffset < 0 || file.Seek(archiveOffset, platform::RawFile::Origin::Begin) < 0) {
        result.refusal = Refusal::NotTavq;
        return result;
    }
    FileInput input(file);
    return DecodeNode(input, nodeIndex, sink, decoders);
}

Refusal CheckArchiveHead(const unsigned char* head, int64_t archiveLength) {
    if (archiveLength < static_cast<int64_t>(kMinimumArchiveSize)) return Refusal::TooShort;
    MemoryInput input(head, kMinimumArchiveSize);
    ExtractResult node;
    const Refusal refusal = CheckAndSeekNode(input, 0, &node);
    if (refusal != Refusal::None) return refusal;
    const uint64_t end = tavq::kFirstNodeOffset + tavq::kNodeHeaderSize +
                         uint64_t{node.nameLength} + node.compressedSize;
    return end > static_cast<uint64_t>(archiveLength) ? Refusal::NodeOutside : Refusal::None;
}

ExtractResult DecodeArchiveBytes(const unsigned char* archive, size_t size, uint32_t nodeIndex,
                                 ByteSink& sink) {
    if (size < kMinimumArchiveSize) {
        ExtractResult result;
        result.refusal = Refusal::TooShort;
        return result;
    }
    MemoryInput input(archive, size);
    return DecodeNode(input, nodeIndex, sink, nullptr);
}

}  // namespace archive
