// Icons for the sheet and the confirmation dialog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace ui {

// Turns the bytes of an .ico file into an icon through the temporary file qorv.tmp, which is
// gone again afterwards; null when the bytes cannot be written or are no icon.
HICON LoadIconFromBytes(const unsigned char* bytes, int32_t length);

// The package's icon when it carries one (`iconLength` of 1 or more, read from `exePath`), or
// else the program's icon group 128. Null when the package's icon cannot be read.
HICON LoadSetupIcon(const std::string& exePath, int32_t iconLength, int32_t iconOffset);

}  // namespace ui
