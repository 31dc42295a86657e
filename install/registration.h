// What the installation registers with the system: installed controls register themselves, and
// the package's file types get a class with an icon and an open command below
// HKEY_CLASSES_ROOT. Both are best effort: the run goes on whatever happens, so nothing here
// shows a message. Paths and names are GBK and reach the W APIs through code page 936, so a
// Chinese program path is right in the registry on any locale.
#pragma once

#include <cstdint>

namespace install {

// Loads the control at `path` (a full GBK path) and calls its DllRegisterServer, provided the
// file still holds the bytes the run wrote there (their CRC-32 is `crc`): from that check until
// the library is loaded, no other program may write, rename or delete the file. True when the
// library loaded and the export is missing or returned a non-negative HRESULT. The DLLs that
// the control imports are found beside it and in the system folder, never in the installer's
// own (download) folder. The library is released again in every case. Its SHA-256 goes into the
// keeping of `appName` (install/kept_values.h), for the uninstaller.
bool RegisterServer(const char* appName, const char* path, uint32_t crc);

// Associates `extension` (without its dot) with `program` (a resolved GBK path): the keys
// ".ext" (default value "extfile"), "extfile", "extfile\DefaultIcon" (program,0),
// "extfile\shell", "extfile\shell\open" and "extfile\shell\open\command" (program %1), created
// in that order. Only default values are written; other values and subkeys already there stay.
// A value that would not fit its 256-byte buffer is not written at all rather than cut short,
// and an empty extension writes nothing. A value replaced goes into the keeping of `appName`
// first (install/kept_values.h), for the uninstaller to put back.
void RegisterFileType(const char* appName, const char* extension, const char* program);

}  // namespace install
