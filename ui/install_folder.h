// The destination folder as the folder page and the unattended run take it: checked against the
// machine (drive, parent, permission) and created.
#pragma once

#include <cstddef>

namespace ui {

// Checks `typed` as the destination of `appName` (the length limit aside) and creates it: null
// when it may be used, with `chosen` holding it as Windows names it (full, long names) and its
// final backslash; otherwise the message that refuses it.
const char* AcceptInstallFolder(const wchar_t* typed, const char* appName, char* chosen,
                                size_t room);

}  // namespace ui
