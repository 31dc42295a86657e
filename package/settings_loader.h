// Reading the package's settings into the model.
#pragma once

#include <string>

#include "package/item_list.h"
#include "package/setup_model.h"

namespace package {

// The temporary copy of the settings block (also used for the icon and the uninstaller
// archive, one use at a time).
constexpr const char* kTempFileName = "qorv.tmp";

// Reads the 64 settings items and then the file entries, until an empty name or the end of the
// text. Items missing at the end leave their fields empty or zero.
void ReadSettings(ItemList& items, SetupModel* model);

enum class LoadResult { Loaded, NoTrailer, BadTrailer, CannotExtract };

// Finds the settings block of `exePath` through its trailer, copies it to `tempPath`, loads it
// unscrambled, reads it into `model` and deletes the copy. Pictures are not touched.
LoadResult LoadSettings(const std::string& exePath, const std::string& tempPath, SetupModel* model);

}  // namespace package
