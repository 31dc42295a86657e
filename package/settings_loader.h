// Reading the package's settings into the model.
#pragma once

#include "package/item_list.h"
#include "package/setup_model.h"
#include "package/trailer.h"
#include "platform/file.h"

namespace package {

// The stem of the temporary copy of the settings block: each copy is a new file of the
// process's own, "qorv-PID-N.tmp", so two installers never share one and a file or folder that
// another program put in the temporary folder is never opened.
constexpr const char* kTempFileStem = "qorv";

// Reads the 64 settings items and then the file entries, until an empty name or the end of the
// text. Items missing at the end leave their fields empty or zero. False when the memory for
// the file entries runs out (a damaged block that claims millions of them).
bool ReadSettings(ItemList& items, SetupModel* model);

enum class LoadResult { Loaded, NoTrailer, BadTrailer, CannotExtract, NoMemory };

// Finds the settings block of `exePath` through its trailer, copies it to a new temporary file
// in `tempFolder` (ending with its separator), loads it unscrambled, deletes the copy and reads
// it into `model`. Pictures are not touched. `found` (when given) receives the trailer, whose
// offset is where the pieces must end.
LoadResult LoadSettings(const platform::SysChar* exePath, const platform::SysChar* tempFolder,
                        SetupModel* model, PackageTrailer* found = nullptr);

}  // namespace package
