#include "install/shell_links.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include "package/install_records.h"
#include "platform/shell_folder.h"
#include "platform/text_win32.h"

namespace install {

using platform::AppendWide;

namespace {

bool EndsWithSeparator(const wchar_t* path) {
    const int length = lstrlenW(path);
    return length > 0 && path[length - 1] == L'\\';
}

// True when `path`, as Windows resolves it, names an entry directly inside `folder` (which ends
// with "\"): names from the package must not climb out with "..", "/" or a drive.
bool IsDirectChild(const wchar_t* folder, const wchar_t* path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    const int folderLength = lstrlenW(folder);
    if (length == 0 || length >= MAX_PATH * 2 || static_cast<int>(length) <= folderLength)
        return false;
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, full, folderLength, folder,
                       folderLength) != CSTR_EQUAL)
        return false;
    for (const wchar_t* p = full + folderLength; *p; ++p)
        if (*p == L'\\') return false;
    return true;
}

// The program group's folder, ending with "\"; false when the name would leave the programs
// folder or is not a name at all.
bool GroupFolder(const char* groupName, wchar_t* path, size_t room) {
    wchar_t programs[MAX_PATH + 1];
    if (!SpecialFolderPath(CSIDL_PROGRAMS, programs, MAX_PATH + 1)) return false;
    const platform::Wide group(groupName);
    if (!group.ok() || !group.c_str()[0]) return false;
    path[0] = L'\0';
    return AppendWide(path, room, programs) && AppendWide(path, room, group.c_str()) &&
           IsDirectChild(programs, path) && AppendWide(path, room, L"\\");
}

}  // namespace

bool SpecialFolderPath(int csidl, wchar_t* path, size_t room) {
    if (room < MAX_PATH || !platform::ShellFolder(csidl, path)) return false;
    if (!EndsWithSeparator(path) && !AppendWide(path, room, L"\\")) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

bool ShortcutPath(int32_t kind, const char* linkName, const char* groupName, wchar_t* path,
                  size_t room) {
    wchar_t folder[MAX_PATH * 2];
    const bool found = kind == package::kShortcutDesktop
                           ? SpecialFolderPath(CSIDL_DESKTOPDIRECTORY, folder, MAX_PATH * 2)
                       : kind == package::kShortcutStartMenu
                           ? SpecialFolderPath(CSIDL_STARTMENU, folder, MAX_PATH * 2)
                           : GroupFolder(groupName, folder, MAX_PATH * 2);
    const platform::Wide name(linkName);
    path[0] = L'\0';
    return found && name.ok() && AppendWide(path, room, folder) &&
           AppendWide(path, room, name.c_str()) && IsDirectChild(folder, path);
}

bool CreateShortcut(const wchar_t* target, const wchar_t* link) {
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    wchar_t folder[MAX_PATH * 2];
    folder[0] = L'\0';
    AppendWide(folder, MAX_PATH * 2, target);
    for (int i = lstrlenW(folder) - 1; i >= 0; --i) {
        if (folder[i] == L'\\') {
            folder[i] = L'\0';
            break;
        }
    }
    shellLink->SetWorkingDirectory(folder);
    shellLink->SetPath(target);
    shellLink->SetDescription(L"");
    shellLink->SetShowCmd(SW_SHOW);
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(link, TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

void ShellShortcuts::CreateLink(int32_t kind, const char* linkName, const char* target,
                                char* logged, size_t room) {
    logged[0] = '\0';
    wchar_t link[MAX_PATH * 2];
    if (!ShortcutPath(kind, linkName, groupName_, link, MAX_PATH * 2)) return;
    // Characters GBK lacks become "?": the uninstaller finds such a link again from the file's
    // name and the shell folder.
    platform::Narrow(link, logged, room);
    const platform::Wide wideTarget(target);
    if (wideTarget.ok()) CreateShortcut(wideTarget.c_str(), link);
}

void ShellShortcuts::CreateGroup(const char* uninstaller) {
    wchar_t link[MAX_PATH * 2];
    if (!GroupFolder(groupName_, link, MAX_PATH * 2)) return;
    CreateDirectoryW(link, nullptr);
    const platform::Wide target(uninstaller);
    if (target.ok() && AppendWide(link, MAX_PATH * 2, package::kUninstallerLinkNameWide))
        CreateShortcut(target.c_str(), link);
}

}  // namespace install
