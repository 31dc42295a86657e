// The uninstaller that the installer leaves in the install folder: the program it carries
// compressed as its resource "EXE" 138, followed by the package's wizard picture and icon and a
// scrambled block of nine items that tells the program what it belongs to.
#pragma once

#include <cstddef>

#include "package/install_records.h"
#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

constexpr int kUninstallerResource = 138;
constexpr const char* kUninstallerResourceType = "EXE";
using package::kUninstallerName;

// Writes installDir + "unwise.exe": the uninstaller program from resource "EXE" 138, then the
// package's wizard picture and icon (copied from exePath), then the scrambled nine-item block
// and its trailer. False when it could not be written whole; `error` then holds the system's
// reason. An earlier unwise.exe stays as it was until the new one is complete.
bool WriteUninstaller(const package::SetupModel& model, const char* installDir,
                      platform::ErrorCode* error);

// The same with the program's archive given in memory instead of taken from the resource.
bool WriteUninstallerFrom(const unsigned char* archive, size_t archiveSize,
                          const package::SetupModel& model, const char* installDir,
                          platform::ErrorCode* error);

}  // namespace install
