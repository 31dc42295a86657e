// Icons for the sheet and the confirmation dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/file.h"

namespace platform {

// Turns the bytes of an .ico file into an icon of the system's icon size, choosing among the
// file's images as Windows would for that size. Straight from memory: no temporary file that
// another program could plant or read. Null when the bytes are no icon.
HICON LoadIconFromBytes(const unsigned char* bytes, int32_t length);

// The package's icon when it carries one (`iconLength` of 1 or more, read from `exePath`), or
// else the program's icon group 128. Null when the package's icon cannot be read.
HICON LoadSetupIcon(const wchar_t* exePath, int32_t iconLength, int32_t iconOffset);
// The same from the package the caller holds open.
HICON LoadSetupIcon(platform::RawFile& file, int32_t iconLength, int32_t iconOffset);

}  // namespace platform
