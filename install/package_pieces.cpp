#include "install/package_pieces.h"

namespace install {

archive::PieceProblem CheckPackagePieces(package::SetupModel& model, int64_t settingsOffset,
                                         platform::RawFile& package) {
    using archive::PieceProblem;
    archive::PieceCheck check(package, settingsOffset);
    const struct {
        PieceProblem::Piece piece;
        int32_t length, offset;
    } pictures[] = {
        {PieceProblem::WizardPicture, model.pictureLength, model.pictureOffset},
        {PieceProblem::Icon, model.iconLength, model.iconOffset},
        {PieceProblem::BackgroundPicture, model.backgroundPictureLength,
         model.backgroundPictureOffset},
    };
    PieceProblem problem;
    for (const auto& picture : pictures)
        if (problem.ok()) problem = check.Picture(picture.piece, picture.length, picture.offset);
    int32_t index = 0;
    for (package::FileEntry* entry = model.fileList.first; entry && problem.ok();
         entry = entry->next, ++index)
        problem = check.File(index, entry->dataLength, entry->dataOffset, entry->compressed != 0,
                             &entry->solidPart, &entry->solidSize);
    return problem;
}

}  // namespace install
