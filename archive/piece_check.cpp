#include "archive/piece_check.h"

#include <cstring>

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

PieceProblem PieceCheck::File(int32_t index, int32_t length, int32_t offset, bool compressed) {
    if (length < 0) return Problem(PieceProblem::File, PieceProblem::NegativeLength, index);
    if (!compressed && length == 0) return PieceProblem();
    if (!PieceInside(length, offset, settingsOffset_))
        return Problem(PieceProblem::File, PieceProblem::Outside, index);
    if (!compressed) return PieceProblem();
    unsigned char head[kMinimumArchiveSize] = {};
    if (length >= static_cast<int32_t>(kMinimumArchiveSize) && !ReadHead(offset, head, sizeof head))
        return Problem(PieceProblem::File, PieceProblem::CannotRead, index);
    const Refusal refusal = CheckArchiveHead(head, length);
    if (refusal != Refusal::None)
        return Problem(PieceProblem::File, PieceProblem::BadArchive, index, refusal);
    return PieceProblem();
}

}  // namespace archive
