#include "archive/piece_check.h"

#include <cstring>

namespace archive {

namespace {
// The heads of compressed files through one window of the package: packers store the files in
// order, so the heads of many small files come from one read each few kilobytes instead of a
// seek and a read apiece (100,000 files under Wine).
class HeadReader {
public:
    HeadReader(platform::RawFile& file, int64_t limit) : file_(file), limit_(limit) {}

    bool Read(int64_t offset, unsigned char* out, size_t count) {
        if (start_ < 0 || offset < start_ ||
            offset + static_cast<int64_t>(count) > start_ + size_) {
            start_ = -1;
            const int64_t left = limit_ - offset;
            const size_t want = left < static_cast<int64_t>(sizeof window_)
                                    ? static_cast<size_t>(left)
                                    : sizeof window_;
            if (file_.Seek(offset, platform::RawFile::Origin::Begin) != offset) return false;
            size_ = static_cast<int64_t>(file_.Read(window_, want));
            if (size_ < static_cast<int64_t>(count)) return false;
            start_ = offset;
        }
        std::memcpy(out, window_ + (offset - start_), count);
        return true;
    }

private:
    platform::RawFile& file_;
    int64_t limit_;
    int64_t start_ = -1;
    int64_t size_ = 0;
    unsigned char window_[4096];
};

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

bool PieceInside(int64_t length, int64_t offset, int64_t settingsOffset) {
    return length >= 0 && offset >= 0 && offset <= settingsOffset - length;
}

PieceProblem CheckPieces(const package::SetupModel& model, int64_t settingsOffset,
                         platform::RawFile& package) {
    const struct {
        PieceProblem::Piece piece;
        int32_t length, offset;
    } pictures[] = {
        {PieceProblem::WizardPicture, model.pictureLength, model.pictureOffset},
        {PieceProblem::Icon, model.iconLength, model.iconOffset},
        {PieceProblem::BackgroundPicture, model.backgroundPictureLength,
         model.backgroundPictureOffset},
    };
    for (const auto& picture : pictures)
        if (picture.length > 0 && !PieceInside(picture.length, picture.offset, settingsOffset))
            return Problem(picture.piece, PieceProblem::Outside);

    HeadReader heads(package, settingsOffset);
    int32_t index = 0;
    for (const package::FileEntry* entry = model.fileList.first; entry;
         entry = entry->next, ++index) {
        const int32_t length = entry->dataLength;
        if (length < 0) return Problem(PieceProblem::File, PieceProblem::NegativeLength, index);
        if (!entry->compressed && length == 0) continue;
        if (!PieceInside(length, entry->dataOffset, settingsOffset))
            return Problem(PieceProblem::File, PieceProblem::Outside, index);
        if (!entry->compressed) continue;
        unsigned char head[kMinimumArchiveSize] = {};
        if (length >= static_cast<int32_t>(kMinimumArchiveSize) &&
            !heads.Read(entry->dataOffset, head, sizeof head))
            return Problem(PieceProblem::File, PieceProblem::CannotRead, index);
        const Refusal refusal = CheckArchiveHead(head, length);
        if (refusal != Refusal::None)
            return Problem(PieceProblem::File, PieceProblem::BadArchive, index, refusal);
    }
    return PieceProblem();
}

}  // namespace archive
