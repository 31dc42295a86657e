// Reading the package's settings into the model.
#pragma once

#include "package/item_list.h"
#include "package/setup_model.h"
#include "package/trailer.h"
#include "platform/file.h"

namespace package {

// Reads the 64 settings items and then the file entries, until an empty name or the end of the
// text. Items missing at the end leave their fields empty or zero. False when the memory for
// the file entries runs out (a damaged block that claims millions of them).
bool ReadSettings(ItemList& items, SetupModel* model);

enum class LoadResult { Loaded, NoTrailer, BadTrailer, CannotExtract, NoMemory };

// Finds the settings block of the package the caller holds open through its trailer, reads it
// straight into memory, unscrambled, and into `model`. Pictures are not touched. `found` (when
// given) receives the trailer, whose offset is where the pieces must end and whose checksum
// record the caller checks. No temporary file: a file in the user's temporary folder could be
// swapped between its writing and its reading, and the elevated run would follow its settings.
LoadResult LoadSettings(platform::RawFile& package, SetupModel* model,
                        PackageTrailer* found = nullptr);
// The same for the file at `exePath`.
LoadResult LoadSettings(const platform::SysChar* exePath, SetupModel* model,
                        PackageTrailer* found = nullptr);

}  // namespace package
