#include "uninstaller/self_removal.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <initializer_list>

#include "package/install_records.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"

namespace unwise {

namespace {
constexpr DWORD kParentWaitMs = 60000;
constexpr int kDeleteTries = 50;  // 100 ms apart: the image may be let go a moment after the end

// The folder part of `path` (up to its last backslash) into `folder`; the name's position.
int SplitFolder(const wchar_t* path, wchar_t* folder, int room) {
    int separator = -1;
    for (int i = 0; path[i]; ++i)
        if (path[i] == L'\\') separator = i;
    if (separator <= 0 || separator >= room) return -1;
    lstrcpynW(folder, path, separator + 1);
    return separator + 1;
}

bool JoinWide(wchar_t* out, size_t room, const wchar_t* folder, const wchar_t* name) {
    out[0] = L'\0';
    return platform::AppendWide(out, room, folder) && platform::AppendWide(out, room, L"\\") &&
           platform::AppendWide(out, room, name);
}

// Through one handle that lies in `base`, never through a link put in its place.
bool DeleteNow(const wchar_t* path, const platform::ResolvedFolder& base) {
    char narrow[platform::kPathRoom];
    platform::ErrorCode error = 0;
    return platform::ExactGbk(path, narrow, sizeof narrow) &&
           (platform::RemoveThroughHandle(narrow, false, base, &error) ||
            error == ERROR_FILE_NOT_FOUND);
}

// The fallback: Windows removes them at the next restart (the folder only when empty then).
void RemoveAtRestart(const wchar_t* exePath) {
    MoveFileExW(exePath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    wchar_t folder[platform::kPathRoom];
    if (SplitFolder(exePath, folder, platform::kPathRoom) > 0)
        MoveFileExW(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool CopyProgram(const wchar_t* from, platform::RawFile& to) {
    platform::RawFile in;
    if (!in.OpenRead(from)) return false;
    char buffer[16 * 1024];
    for (;;) {
        const size_t got = in.Read(buffer, sizeof buffer);
        if (got == 0) return in.Position() == in.Length();
        if (!to.Write(buffer, got)) return false;
    }
}
}  // namespace

int RemoveUninstaller(void* parent, const wchar_t* uninstaller) {
    wchar_t folder[platform::kPathRoom];
    const int name = SplitFolder(uninstaller, folder, platform::kPathRoom);
    // The install folder as it is now, while the uninstaller still runs in it: what is deleted
    // later must lie there, whatever a name leads to by then.
    char folderGbk[platform::kPathRoom];
    const bool named = name > 0 && platform::ExactGbk(folder, folderGbk, sizeof folderGbk);
    const platform::ResolvedFolder base(named ? folderGbk : "");
    const bool resolved = named && base.Resolved();
    WaitForSingleObject(parent, kParentWaitMs);
    CloseHandle(parent);
    // Only ever an unwise.exe, in a plain folder (not a link to somewhere else).
    if (!resolved || lstrcmpiW(uninstaller + name, package::kUninstallerNameWide) != 0) return 2;
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return 2;
    // A file: a folder of that name, or a link to elsewhere, is not the uninstaller.
    const DWORD own = GetFileAttributesW(uninstaller);
    if (own == INVALID_FILE_ATTRIBUTES ||
        (own & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return 2;

    bool deleted = false;
    for (int i = 0; i < kDeleteTries && !deleted; ++i) {
        deleted = DeleteNow(uninstaller, base);
        if (!deleted) Sleep(100);
    }
    for (const wchar_t* record : {package::kLogNameWide, package::kWrittenListNameWide}) {
        wchar_t path[platform::kPathRoom];
        if (JoinWide(path, platform::kPathRoom, folder, record) &&
            GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && !DeleteNow(path, base))
            MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    if (!deleted) MoveFileExW(uninstaller, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // Removed only when empty: a file of the user's keeps it.
    if (!RemoveDirectoryW(folder) && !deleted)
        MoveFileExW(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);

    wchar_t self[platform::kPathRoom];
    const DWORD length = GetModuleFileNameW(nullptr, self, platform::kPathRoom);
    if (length > 0 && length < platform::kPathRoom)
        MoveFileExW(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return deleted ? 0 : 4;
}

// The temporary folder is the user's, and no program of the user's, running without the
// administrator's rights, may put its own in the place of the copy that starts with them.
void* GuardCopy(const wchar_t* copy, const wchar_t* exePath) {
    HANDLE guard =
        CreateFileW(copy, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (guard == INVALID_HANDLE_VALUE) return nullptr;
    platform::RawFile original;
    bool same = original.OpenRead(exePath);
    char copied[8192];
    char own[8192];
    for (DWORD got = 1; same && got > 0;) {
        same = ReadFile(guard, copied, sizeof copied, &got, nullptr) &&
               original.Read(own, sizeof own) == got && std::memcmp(copied, own, got) == 0;
    }
    if (same) return guard;
    CloseHandle(guard);
    return nullptr;
}

bool RunAsRemover(int* exitCode) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return false;
    const bool remover = count == 4 && lstrcmpiW(arguments[1], kRemoveSwitch) == 0;
    if (remover) {
        // The handle's number, as this process inherited it.
        UINT_PTR number = 0;
        for (const wchar_t* p = arguments[2]; *p >= L'0' && *p <= L'9'; ++p)
            number = number * 10 + static_cast<UINT_PTR>(*p - L'0');
        *exitCode = RemoveUninstaller(reinterpret_cast<void*>(number), arguments[3]);
    }
    LocalFree(arguments);
    return remover;
}

void RemoveSelfAfterExit(const wchar_t* exePath) {
    platform::SysChar temp[platform::kPathRoom];
    platform::SysChar copy[platform::kPathRoom];
    platform::RawFile file;
    if (!platform::TempFolder(temp, platform::kPathRoom) ||
        !platform::CreateTempFile(temp, "unwise", &file, copy, platform::kPathRoom)) {
        RemoveAtRestart(exePath);
        return;
    }
    const bool copied = CopyProgram(exePath, file) && file.Flush();
    file.Close();
    HANDLE guard = copied ? static_cast<HANDLE>(GuardCopy(copy, exePath)) : nullptr;
    HANDLE self = nullptr;
    if (!guard || !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                                   &self, SYNCHRONIZE, TRUE, 0)) {
        if (guard) CloseHandle(guard);
        DeleteFileW(copy);
        RemoveAtRestart(exePath);
        return;
    }
    // "COPY" /remove-uninstaller HANDLE "UNWISE.EXE"
    wchar_t command[platform::kPathRoom * 2 + 64];
    wchar_t number[24];
    wsprintfW(number, L" %lu ", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(self)));
    const bool fits = lstrlenW(copy) + lstrlenW(exePath) + lstrlenW(number) + 32 <
                      static_cast<int>(sizeof command / sizeof command[0]);
    if (fits) {
        lstrcpyW(command, L"\"");
        lstrcatW(command, copy);
        lstrcatW(command, L"\" ");
        lstrcatW(command, kRemoveSwitch);
        lstrcatW(command, number);
        lstrcatW(command, L"\"");
        lstrcatW(command, exePath);
        lstrcatW(command, L"\"");
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Started in the temporary folder: a process whose current folder is the install folder
    // would keep it from being removed.
    if (fits && CreateProcessW(copy, command, nullptr, nullptr, TRUE, 0, nullptr, temp, &startup,
                               &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(guard);
    } else {
        CloseHandle(guard);
        DeleteFileW(copy);
        RemoveAtRestart(exePath);
    }
    CloseHandle(self);
}

}  // namespace unwise
