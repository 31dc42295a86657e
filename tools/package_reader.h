// Reads a package the way the installer does, for the commands that inspect one.
#pragma once

#include <string>

#include "package/setup_model.h"
#include "package/trailer.h"

namespace sfxpack {

// Loads the settings and file list of `path` with the installer's own loader. On failure
// returns false with a sentence that says what is wrong.
bool OpenPackage(const std::string& path, package::SetupModel* model,
                 package::PackageTrailer* trailer, std::string* error);

}  // namespace sfxpack
