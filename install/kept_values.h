// What an installation keeps of the machine it changed, for its uninstaller: the registry values
// of HKEY_CLASSES_ROOT it replaced, as they were, and the SHA-256 of each control it registered.
// Both lie in a key of the application's own below HKEY_LOCAL_MACHINE, which only administrators
// can write: the records in the install folder (setup.log, setup.lst) lie where users may write,
// and must not decide what an elevated uninstaller writes back into the registry or loads.
//
//   HKEY_LOCAL_MACHINE\Software\sfx-installer\NAME\Replaced   a value for each replaced one,
//       named for its key below HKEY_CLASSES_ROOT (".qzy", "txtfile\shell\open\command"),
//       holding the old default value's bytes with its type; an empty REG_NONE when there was
//       none
//   HKEY_LOCAL_MACHINE\Software\sfx-installer\NAME\Controls   a REG_BINARY of 32 bytes for each
//       registered control, named for its full path
//
// NAME is the application's name, as for the entry in the list of installed programs. The key
// goes with that entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace install {

constexpr size_t kSha256Size = 32;

// Before the run sets the default value of HKEY_CLASSES_ROOT\`key`: keeps the value there now,
// or that there was none, unless an earlier installation of the application kept it already
// (that one is the machine's own; what is there now is ours).
void KeepReplacedValue(const char* appName, const char* key);

enum class Restored { NothingKept, Restored, Failed };
// Writes back the default value of HKEY_CLASSES_ROOT\`key` that the installation replaced, and
// forgets it; NothingKept when it replaced none there.
Restored RestoreReplacedValue(const char* appName, const char* key, platform::ErrorCode* error);

// The SHA-256 of the bytes of `file`, read from its start; false when they cannot be read whole.
bool Sha256OfFile(platform::RawFile& file, unsigned char sum[kSha256Size]);

// Keeps the sum of the control at `path` (GBK, full) that the run registered.
void KeepControlSum(const char* appName, const char* path, const unsigned char sum[kSha256Size]);
// The sum kept for `path`; false when none was.
bool KeptControlSum(const char* appName, const char* path, unsigned char sum[kSha256Size]);

// Removes the application's key with everything in it; true when it is gone.
bool RemoveKeptValues(const char* appName, platform::ErrorCode* error);

}  // namespace install
