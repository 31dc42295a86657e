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

// Whether the package's bytes still sum to its checksum record, as the installer checks them
// before its first page. A package without a record (another writer's) passes, unless its
// settings say it had one. False with a sentence in `error`.
bool ChecksumHolds(const std::string& path, const package::SetupModel& model,
                   const package::PackageTrailer& trailer, std::string* error);

}  // namespace sfxpack
