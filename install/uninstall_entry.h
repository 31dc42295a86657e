// The application's entry in the system's list of installed programs ("Programs and Features",
// "Apps & features"): the key that Windows reads below
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall (for a 32-bit program
// on 64-bit Windows, the system puts it below WOW6432Node, where it looks as well). The finish
// step adds it once setup.log and setup.lst are complete; unwise.exe removes it when everything
// else has gone. An addition of ours to the installation.
//
// The key's name is the application's name as it stands (item 1 of the settings, which the
// packer keeps to a plain Windows name): the same application installed again finds and
// updates its own entry, and the uninstaller finds it from its block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/path_rules.h"
#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

constexpr const char* kUninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// "Software\...\Uninstall\" followed by the application's name; false when the name is not a
// plain name (empty, a backslash, too long for a key) and there is no entry to make.
bool UninstallKeyPath(const char* appName, char* key, size_t room);

// Writes the key for the installation in `folders.pageInstallDir`: DisplayName (the
// application's name), UninstallString (the quoted path of unwise.exe, as the system runs it),
// InstallLocation (the install folder), DisplayIcon (the program the finish page offers to run
// when it is an .exe, else unwise.exe), EstimatedSize (`installedBytes`, the files the run
// wrote or kept, and unwise.exe, in KB), InstallDate (yyyymmdd), NoModify and NoRepair (1).
// Values already there from an earlier installation are replaced. False, with the system's
// reason, when the key cannot be written.
bool AddUninstallEntry(const package::SetupModel& model, const BaseFolders& folders,
                       uint64_t installedBytes, platform::ErrorCode* error);

// Removes the entry of `appName` while its UninstallString still names `uninstaller` (the path
// of unwise.exe; both made full and long, compared without regard to case): values of ours first, then the key when
// nothing else is left in it. An entry that names another program stays as it is. True when no
// entry of ours is left (also when there was none).
bool RemoveUninstallEntry(const char* appName, const wchar_t* uninstaller,
                          platform::ErrorCode* error);

// An entry under another name than `appName` whose InstallLocation is `folder` (GBK, full), both
// made full and long before they are compared; its DisplayName (else its key's name) in `name`.
bool FindOtherEntryAt(const char* appName, const char* folder, char* name, size_t room);

}  // namespace install
