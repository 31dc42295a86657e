#include "platform/shell_folder.h"

#include <shlobj.h>
#include <windows.h>

namespace platform {

bool ShellFolder(int csidl, wchar_t* path) {
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0]) {
        path[0] = L'\0';
        return false;
    }
    const int length = lstrlenW(path);
    if (length > 3 && path[length - 1] == L'\\') path[length - 1] = L'\0';
    return true;
}

}  // namespace platform
