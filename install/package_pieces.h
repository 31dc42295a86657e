// Whether the pieces a package's settings name lie where the installer will read them: the
// settings walked for the archive's piece check, which knows nothing of the settings.
#pragma once

#include <cstdint>

#include "archive/piece_check.h"
#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

// Every piece that `model` names: the wizard picture, the icon, the background picture and each
// file's data, in that order. `package` is the package open for reading; its settings block
// begins at `settingsOffset`. The first problem found, or none. Each file of a solid archive
// learns its place in it (FileEntry::solidPart).
archive::PieceProblem CheckPackagePieces(package::SetupModel& model, int64_t settingsOffset,
                                         platform::RawFile& package);

}  // namespace install
