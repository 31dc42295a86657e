#include "archive/piece_check.h"

#include <cstring>

#include "archive/tavq_format.h"

namespace archive {

namespace {
PieceProblem Problem(PieceProblem::Piece piece, PieceProblem::Kind kind, int32_t file = -1,
                     Refusal refusal = Refusal::None) {
    PieceProblem problem;
    problem.piece = piece;
    problem.kind = kind;
    problem.file = file;
    problem.archive = refusal;
    return problem;
}
}  // namespace

// Packers store the files in order, so one window serves the heads of many small files instead
// of a seek and a read apiece (100,000 files under Wine).
bool PieceCheck::ReadHead(int64_t offset, unsigned char* out, size_t count) {
    if (windowStart_ < 0 || offset < windowStart_ ||
        offset + static_cast<int64_t>(count) > windowStart_ + windowSize_) {
        windowStart_ = -1;
        const int64_t left = settingsOffset_ - offset;
        const size_t want = left < static_cast<int64_t>(sizeof window_)
                                ? static_cast<size_t>(left)
                                : sizeof window_;
        if (package_.Seek(offset, platform::RawFile::Origin::Begin) != offset) return false;
        windowSize_ = static_cast<int64_t>(package_.Read(window_, want));
        if (windowSize_ < static_cast<int64_t>(count)) return false;
        windowStart_ = offset;
    }
    std::memcpy(out, window_ + (offset - windowStart_), count);
    return true;
}

Refusal PieceCheck::NextSolidPart(int solid, int32_t* part, uint32_t* size) {
    Solid& archive = solids_[solid];
    if (archive.next >= archive.parts) return Refusal::NotFileHead;
    unsigned char bytes[tavq::kNodeHeaderSize];
    if (!ReadHead(archive.table + int64_t{archive.next} * tavq::kNodeHeaderSize, bytes,
                  sizeof bytes))
        return Refusal::CannotOpen;
    const tavq::NodeHeader node = tavq::ParseNodeHeader(bytes);
    if (!tavq::IsSolidFileNode(node, archive.next)) return Refusal::NotFileHead;
    *part = static_cast<int32_t>(archive.next++);
    *size = node.uncompressedSize;
    return Refusal::None;
}

PieceProblem PieceCheck::File(int32_t index, int32_t length, int32_t offset, bool compressed,
                              int32_t* solidPart, uint32_t* solidSize) {
    int32_t part = -1;
    uint32_t size = 0;
    if (!solidPart) solidPart = &part;
    if (!solidSize) solidSize = &size;
    *solidPart = -1;
    if (length < 0) return Problem(PieceProblem::File, PieceProblem::NegativeLength, index);
    if (!compressed && length == 0) return PieceProblem();
    if (!PieceInside(length, offset, settingsOffset_))
        return Problem(PieceProblem::File, PieceProblem::Outside, index);
    if (!compressed) return PieceProblem();
    // The files of a solid archive share its head, checked with the first of them.
    int solid = 0;
    while (solid < solidCount_ &&
           !(solids_[solid].offset == offset && solids_[solid].length == length))
        ++solid;
    if (solid == solidCount_) {
        unsigned char head[kMinimumArchiveSize] = {};
        if (length >= static_cast<int32_t>(kMinimumArchiveSize) &&
            !ReadHead(offset, head, sizeof head))
            return Problem(PieceProblem::File, PieceProblem::CannotRead, index);
        Refusal refusal = CheckArchiveHead(head, length);
        const bool isSolid = refusal == Refusal::None &&
                             tavq::MethodOf(tavq::ParseHeader(head).version) == tavq::Method::Solid;
        if (isSolid) {
            // The files' nodes fill the archive after the stream, 20 bytes each.
            const uint64_t table = tavq::SolidFilesOffset(head);
            const uint64_t rest = static_cast<uint64_t>(length) - table;
            if (solidCount_ == kSolidArchives || rest % tavq::kNodeHeaderSize != 0)
                refusal = Refusal::NotFileHead;
            else
                solids_[solidCount_++] =
                    Solid{offset, length, offset + static_cast<int64_t>(table),
                          static_cast<uint32_t>(rest / tavq::kNodeHeaderSize), 0};
        }
        if (refusal != Refusal::None)
            return Problem(PieceProblem::File, PieceProblem::BadArchive, index, refusal);
        if (!isSolid) return PieceProblem();
    }
    const Refusal refusal = NextSolidPart(solid, solidPart, solidSize);
    if (refusal == Refusal::CannotOpen)
        return Problem(PieceProblem::File, PieceProblem::CannotRead, index);
    if (refusal != Refusal::None)
        return Problem(PieceProblem::File, PieceProblem::BadArchive, index, refusal);
    return PieceProblem();
}

}  // namespace archive
