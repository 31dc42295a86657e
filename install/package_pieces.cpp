#include "install/package_pieces.h"

namespace install {

archive::PieceProblem CheckPackagePieces(const package::SetupModel& model, int64_t settingsOffset,
                                         platform::RawFile& package) {
    using archive::PieceProblem;
    archive::PieceCheck check(package, settingsOffset);
    PieceProblem problem = check.Picture(PieceProblem::WizardPicture, model.pictureLength,
                                         model.pictureOffset);
    if (problem.ok()) problem = check.Picture(PieceProblem::Icon, model.iconLength, model.iconOffset);
    if (problem.ok())
        problem = check.Picture(PieceProblem::BackgroundPicture, model.backgroundPictureLength,
                                model.backgroundPictureOffset);
    int32_t index = 0;
    for (const package::FileEntry* entry = model.fileList.first; entry && problem.ok();
         entry = entry->next, ++index)
        problem = check.File(index, entry->dataLength, entry->dataOffset,
                             entry->compressed != 0);
    return problem;
}

}  // namespace install
