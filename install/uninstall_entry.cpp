#include "install/uninstall_entry.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "package/install_records.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"

namespace install {

namespace {
// The values this installer writes, all removed again with the entry.
constexpr const wchar_t* kOurValues[] = {
    L"DisplayName",     L"UninstallString", L"QuietUninstallString",
    L"InstallLocation", L"DisplayIcon",     L"EstimatedSize",
    L"InstallDate",     L"NoModify",        L"NoRepair"};

bool SetText(HKEY key, const wchar_t* name, const wchar_t* text) {
    const DWORD bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
           ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD number) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

// The size of the file at `path` in bytes, 0 when there is none.
uint64_t FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const platform::Wide wide(path);
    if (!wide.ok() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether two spellings name one path once Windows has made both full and long ("..", short
// names, case): an entry written as "C:\PROGRA~1\App\unwise.exe" is the uninstaller running
// as "C:\Program Files\App\unwise.exe".
bool SamePath(const wchar_t* one, const wchar_t* other) {
    wchar_t a[platform::kPathRoom];
    wchar_t b[platform::kPathRoom];
    return platform::FullLongPath(one, a, platform::kPathRoom) &&
           platform::FullLongPath(other, b, platform::kPathRoom) &&
           CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// The text value `name` of `key`, when it is one and fits.
bool ReadText(HKEY key, const wchar_t* name, wchar_t* text, DWORD room) {
    DWORD type = 0;
    DWORD size = (room - 1) * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    text[size / sizeof(wchar_t)] = L'\0';
    return true;
}

bool EndsWithExe(const char* path) {
    const size_t length = std::strlen(path);
    return length > 4 && lstrcmpiA(path + length - 4, ".exe") == 0;
}
}  // namespace

bool UninstallKeyPath(const char* appName, char* key, size_t room) {
    // A key name holds no backslash, and one made of dots or blanks alone names nothing.
    if (!*appName || gbk::FirstBackslash(appName) != gbk::kNotFound) return false;
    bool visible = false;
    for (const char* p = appName; *p; ++p) visible = visible || (*p != '.' && *p != ' ');
    return visible && gbk::Copy(key, room, kUninstallRoot) && gbk::Append(key, room, "\\") &&
           gbk::Append(key, room, appName) && std::strlen(appName) <= 255;
}

bool AddUninstallEntry(const package::SetupModel& model, const BaseFolders& folders,
                       uint64_t installedBytes, platform::ErrorCode* error) {
    *error = ERROR_INVALID_NAME;
    char keyPath[512];
    if (!UninstallKeyPath(model.appName, keyPath, sizeof keyPath)) return false;
    gbk::Text<platform::kPathRoom> folder(folders.pageInstallDir);
    if (folder.empty()) return false;
    if (!gbk::EndsWithBackslash(folder.c_str())) folder.AppendChar('\\');
    gbk::Text<platform::kPathRoom> uninstaller(folder.c_str());
    gbk::Text<platform::kPathRoom + 2> command("\"");
    gbk::Text<platform::kPathRoom + 6> quiet;
    gbk::Text<platform::kPathRoom> icon;
    // The quiet command removes without a window, for the tools that remove programs in bulk.
    if (!uninstaller.Append(package::kUninstallerName) || !command.Append(uninstaller.c_str()) ||
        !command.Append("\"") || !quiet.Assign(command.c_str()) || !quiet.Append(" /S")) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    // The application's own program shows its own icon in the list; else the uninstaller's.
    char program[platform::kPathRoom];
    if (model.runProgram[0] &&
        ResolveFolderWord(folders, model.runProgram, program, sizeof program) &&
        EndsWithExe(program))
        icon.Assign(program);
    else
        icon.Assign(uninstaller.c_str());

    // What the installation occupies: its files and the uninstaller, in KB rounded up.
    const uint64_t bytes = installedBytes + FileSize(uninstaller.c_str());
    const uint64_t kilobytes = (bytes + 1023) / 1024;
    SYSTEMTIME today;
    GetLocalTime(&today);
    wchar_t date[16];
    wsprintfW(date, L"%04u%02u%02u", today.wYear, today.wMonth, today.wDay);

    HKEY key;
    const LONG created =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::Wide(keyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (created != ERROR_SUCCESS) {
        *error = static_cast<platform::ErrorCode>(created);
        return false;
    }
    // The install folder as the folder page gave it, without its final backslash.
    gbk::Text<platform::kPathRoom> location(folder.c_str());
    if (location.size() > 3) location.Truncate(location.size() - 1);
    const bool written =
        SetText(key, L"DisplayName", platform::Wide(model.appName).c_str()) &&
        SetText(key, L"UninstallString", platform::Wide(command.c_str()).c_str()) &&
        SetText(key, L"QuietUninstallString", platform::Wide(quiet.c_str()).c_str()) &&
        SetText(key, L"InstallLocation", platform::Wide(location.c_str()).c_str()) &&
        SetText(key, L"DisplayIcon", platform::Wide(icon.c_str()).c_str()) &&
        SetNumber(key, L"EstimatedSize",
                  kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(kilobytes)) &&
        SetText(key, L"InstallDate", date) && SetNumber(key, L"NoModify", 1) &&
        SetNumber(key, L"NoRepair", 1);
    *error = written ? 0 : GetLastError();
    RegCloseKey(key);
    return written;
}

bool RemoveUninstallEntry(const char* appName, const wchar_t* uninstaller,
                          platform::ErrorCode* error) {
    *error = 0;
    char keyPath[512];
    if (!UninstallKeyPath(appName, keyPath, sizeof keyPath)) return true;
    const platform::Wide wideKey(keyPath);
    HKEY key;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideKey.c_str(), 0,
                                KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS) {
        *error = static_cast<platform::ErrorCode>(result);
        return false;
    }
    // Ours while it still runs this uninstaller: another installation of the same name (into
    // another folder, or by another installer) keeps its entry.
    wchar_t command[platform::kPathRoom + 8] = {};
    bool ours = ReadText(key, L"UninstallString", command, platform::kPathRoom + 8);
    if (ours) {
        // "PATH" as the finish step writes it; a bare path as an older one may have.
        wchar_t* program = command;
        if (*program == L'"') {
            ++program;
            int end = 0;
            while (program[end] && program[end] != L'"') ++end;
            program[end] = L'\0';
        }
        ours = *program && SamePath(program, uninstaller);
    }
    if (!ours) {
        RegCloseKey(key);
        return true;
    }
    for (const wchar_t* name : kOurValues) {
        result = RegDeleteValueW(key, name);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND && *error == 0)
            *error = static_cast<platform::ErrorCode>(result);
    }
    DWORD subkeys = 1, values = 1;
    const bool empty =
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0;
    RegCloseKey(key);
    // Without its values the entry no longer shows; the key itself goes when nothing else of
    // anyone's is in it.
    if (empty) {
        result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, wideKey.c_str());
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND && *error == 0)
            *error = static_cast<platform::ErrorCode>(result);
    }
    return *error == 0;
}

bool FindOtherEntryAt(const char* appName, const char* folder, char* name, size_t room) {
    HKEY root;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::Wide(kUninstallRoot).c_str(), 0,
                      KEY_ENUMERATE_SUB_KEYS, &root) != ERROR_SUCCESS)
        return false;
    const platform::Wide ownName(appName);
    const platform::Wide ownFolder(folder);
    bool found = false;
    wchar_t keyName[256];
    for (DWORD index = 0; !found; ++index) {
        DWORD length = 256;
        const LONG listed =
            RegEnumKeyExW(root, index, keyName, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_MORE_DATA) continue;  // longer than any key name we write
        if (listed != ERROR_SUCCESS) break;
        if (ownName.ok() && CompareStringOrdinal(keyName, -1, ownName.c_str(), -1, TRUE) ==
                                CSTR_EQUAL)
            continue;
        HKEY key;
        if (RegOpenKeyExW(root, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
        wchar_t location[platform::kPathRoom];
        found = ownFolder.ok() && ReadText(key, L"InstallLocation", location, platform::kPathRoom) &&
                *location && SamePath(location, ownFolder.c_str());
        wchar_t shown[platform::kPathRoom];
        if (found && !ReadText(key, L"DisplayName", shown, platform::kPathRoom)) lstrcpynW(shown, keyName, 256);
        RegCloseKey(key);
        // The name as GBK holds it; '?' where it cannot.
        if (found &&
            !WideCharToMultiByte(platform::kGbkCodePage, 0, shown, -1, name, static_cast<int>(room),
                                 nullptr, nullptr))
            name[0] = '\0';
    }
    RegCloseKey(root);
    return found;
}

}  // namespace install
