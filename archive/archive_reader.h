// The "TAVQ" archive: a 12-byte header, a 6-byte begin mark, then file nodes of a 20-byte header,
// the stored name and the compressed stream. The installer only extracts: one node into a file
// whose name the caller chooses.
#pragma once

#include <cstdint>

#include "archive/byte_stream.h"
#include "archive/lzma_decoder.h"
#include "archive/lzw_decoder.h"
#include "archive/tavq_format.h"
#include "platform/file.h"

namespace archive {

// The format's sizes, under the names the reader's callers know (archive/tavq_format.h).
constexpr uint32_t kArchiveHeaderSize = tavq::kHeaderSize;
constexpr uint32_t kBeginMarkSize = tavq::kBeginMarkSize;
constexpr uint32_t kNodeHeaderSize = tavq::kNodeHeaderSize;
// Header, begin mark and one empty node: the smallest archive that can pass the checks.
constexpr uint32_t kMinimumArchiveSize = tavq::kMinimumArchiveSize;

// The checks in the order they run; each refusal has its fixed text.
enum class Refusal {
    None,
    TooShort,          // "error tavq file"
    NotTavq,           // "not tavq file"
    NotTheVersion,     // "not the version"
    NotNode,           // "not tavq file node"
    NotBeginCompress,  // "not begin compress"
    NotFileHead,       // "not tavq single file head"
    CannotOpen,        // the input cannot be opened; shown as "error tavq file"
    BadStream,         // the stream is damaged (see DecodeStatus); shown as "error tavq file"
    CannotWrite,       // the output cannot be created or written (see `error`); no message
    NodeOutside,       // the node runs past the bytes stored for the archive; no message
};

// The refusal's text, as the installer shows it.
const char* RefusalText(Refusal refusal);

// What happened to one node.
struct ExtractResult {
    Refusal refusal = Refusal::None;
    DecodeStatus stream = DecodeStatus::Ok;
    uint32_t uncompressedSize = 0;  // as the node header says; never checked
    uint32_t compressedSize = 0;
    uint16_t nameLength = 0;
    uint32_t check = 0;  // an LZMA node's CRC-32 of its bytes
    tavq::Method method = tavq::Method::Unknown;
    platform::ErrorCode error = 0;  // the system's reason when the output failed
    bool ok() const { return refusal == Refusal::None; }
    // One English sentence: the refusal text, or what is wrong with the stream.
    const char* Reason() const;
};

// Decoded bytes into a file the caller holds open; a failed write keeps the file's error().
class FileSink : public ByteSink {
public:
    explicit FileSink(platform::RawFile& file) : file_(file) {}
    bool Write(const unsigned char* data, size_t count) override {
        return file_.Write(data, count);
    }

private:
    platform::RawFile& file_;
};

// A decoder for each method, for a caller that decodes many streams: their buffers are asked for
// once (each is about 100 KB, and an LZMA stream's dictionary as large as its file or its
// dictionary size, whichever is smaller).
struct Decoders {
    LzwDecoder lzw;
    LzmaDecoder lzma;
};

class ArchiveReader {
public:
    // Extracts node `nodeIndex` of the archive file `archivePath` into `outputPath`. Returns 1
    // when extracted, 0 when refused; `result` (when given) says why. The reader shows nothing:
    // a caller that tells the user shows RefusalText(result->refusal), which for an input that
    // cannot be opened and a stream that proves damaged while decoding is "error tavq file", and
    // for an output that cannot be created or written is nothing of the archive's (the system's
    // reason is in `result->error`, for the caller's own message). The output file is created
    // only once the checks have passed (an existing one is then truncated), and is removed again
    // when the stream proves damaged or a write fails: a caller never finds part of a file under
    // the name it asked for.
    static int ExtractFile(const char* archivePath, const char* outputPath, uint32_t nodeIndex,
                           ExtractResult* result = nullptr);

    // The same for an archive of `archiveLength` bytes at `archiveOffset` of `containerPath`
    // (the installer's own executable).
    static int ExtractEmbedded(const platform::SysChar* containerPath, const char* outputPath,
                               int64_t archiveOffset, int64_t archiveLength, uint32_t nodeIndex,
                               ExtractResult* result = nullptr);
};

// Decodes node `nodeIndex` of the archive at `archiveOffset` of `containerPath` into `sink`,
// without creating any file and without any message: the same checks as ExtractEmbedded.
// `result.Reason()` says why when `result.ok()` is false. A caller that decodes many streams
// passes one `decoders` for all of them. A solid archive is refused here (DecodeStatus::
// InSolidStream): its files are SolidStream's.
ExtractResult DecodeEmbedded(const platform::SysChar* containerPath, int64_t archiveOffset,
                             int64_t archiveLength, uint32_t nodeIndex, ByteSink& sink,
                             Decoders* decoders = nullptr);
// The same from a container the caller holds open for reading.
ExtractResult DecodeEmbedded(platform::RawFile& container, int64_t archiveOffset,
                             int64_t archiveLength, uint32_t nodeIndex, ByteSink& sink,
                             Decoders* decoders = nullptr);

// What can be known of a compressed file before a byte of it is decoded: whether the archive of
// `archiveLength` bytes that begins with `head` (its first kMinimumArchiveSize bytes, or all of
// them when it is shorter) passes the reader's checks up to its first node, and whether that
// node's name and stream end inside the archive's bytes. The installer asks it of every
// compressed file at start-up, so that a damaged package is refused before anything is written.
Refusal CheckArchiveHead(const unsigned char* head, int64_t archiveLength);

// The same over an archive held in memory (tests and fuzzers).
ExtractResult DecodeArchiveBytes(const unsigned char* archive, size_t size, uint32_t nodeIndex,
                                 ByteSink& sink);

}  // namespace archive
