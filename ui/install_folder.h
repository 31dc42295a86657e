// The destination folder as the folder page and the unattended run take it: checked against the
// machine (drive, parent, permission) and created.
#pragma once

#include <cstddef>

namespace ui {

// Checks `typed` as the destination (the length limit aside) and creates it: null when it may be
// used, with `chosen` holding it and its final backslash; otherwise the message that refuses it.
const char* AcceptInstallFolder(const wchar_t* typed, char* chosen, size_t room);

}  // namespace ui
