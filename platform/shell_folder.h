// The user's shell folders, where links go.
#pragma once

namespace platform {

// The shell folder `csidl` (CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_PROGRAMS) of the
// current user into `path`, which holds MAX_PATH characters: without a final "\" unless it is a
// drive's root. False, with `path` empty, when the user has none.
bool ShellFolder(int csidl, wchar_t* path);

}  // namespace platform
