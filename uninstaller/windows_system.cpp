#include "uninstaller/windows_system.h"

#include <objidl.h>
#include <shlobj.h>

#include <cstring>

#include "install/kept_values.h"
#include "install/uninstall_entry.h"
#include "package/install_records.h"
#include "platform/gbk.h"
#include "platform/shell_folder.h"
#include "platform/system_library.h"
#include "platform/text_win32.h"
#include "uninstaller/paths.h"

namespace unwise {

using platform::AppendWide;

namespace {
// The shell's link object and the two interfaces it is read through; here rather than from
// libuuid, so that nothing more is linked than these three.
const GUID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr int kCsidl[kLinkFolders] = {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_PROGRAMS};

EntryKind KindOf(const wchar_t* path, platform::ErrorCode* error) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return EntryKind::Missing;
        *error = code;
        return EntryKind::Unknown;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::ReparsePoint;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Folder : EntryKind::File;
}

// Deletes a file, its read-only attribute cleared first (and put back when it stays).
bool DeleteWide(const wchar_t* path, platform::ErrorCode* error) {
    const DWORD attributes = GetFileAttributesW(path);
    constexpr DWORD kInTheWay =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const bool cleared = attributes != INVALID_FILE_ATTRIBUTES && (attributes & kInTheWay) &&
                         SetFileAttributesW(path, attributes & ~kInTheWay);
    if (DeleteFileW(path)) return true;
    *error = GetLastError();
    if (cleared) SetFileAttributesW(path, attributes);
    return false;
}

// Removes an empty folder that is not a reparse point.
bool RemoveEmptyFolder(const wchar_t* path, platform::ErrorCode* error) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        *error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
        return false;
    }
    if (RemoveDirectoryW(path)) return true;
    *error = GetLastError();
    // A read-only folder refuses to go even when it is empty.
    if (*error == ERROR_ACCESS_DENIED && (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (RemoveDirectoryW(path)) return true;
        *error = GetLastError();
        SetFileAttributesW(path, attributes);
    }
    return false;
}

// The target path of the link file `path`, as stored (never resolved): empty when it has none.
void ReadLinkTarget(const wchar_t* path, wchar_t* target, int room) {
    target[0] = L'\0';
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path, STGM_READ)) &&
            FAILED(link->GetPath(target, room, nullptr, SLGP_RAWPATH)))
            target[0] = L'\0';
        file->Release();
    }
    link->Release();
}

// The lossy GBK form of a system path, as the finish step logged a link whose folder GBK cannot
// hold: `flags` 0 lets Windows put a near character (best fit) or '?', WC_NO_BEST_FIT_CHARS '?'.
bool LossyGbk(const wchar_t* wide, DWORD flags, char* out, size_t room) {
    return WideCharToMultiByte(platform::kGbkCodePage, flags, wide, -1, out, static_cast<int>(room),
                               nullptr, nullptr) > 0;
}
}  // namespace

WindowsSystem::WindowsSystem(const char* appName, const wchar_t* uninstaller,
                             const char* installFolder)
    : appName_(appName), uninstaller_(uninstaller), installFolder_(installFolder) {}

bool WindowsSystem::FullPath(const char* path, char* full, size_t room) {
    const platform::Wide wide(path);
    wchar_t resolved[platform::kPathRoom];
    return wide.ok() && platform::FullLongPath(wide.c_str(), resolved, platform::kPathRoom) &&
           platform::ExactGbk(resolved, full, room);
}

EntryKind WindowsSystem::Probe(const char* path, platform::ErrorCode* error) {
    const platform::Wide wide(path);
    if (!wide.ok()) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return EntryKind::Unknown;
    }
    return KindOf(wide.c_str(), error);
}

bool WindowsSystem::UnregisterControl(const char* path) {
    const platform::Wide wide(path);
    unsigned char kept[install::kSha256Size];
    unsigned char found[install::kSha256Size];
    // Held without write or delete sharing from the check until the library is released: the
    // install folder may be one that users can write to.
    platform::RawFile guard;
    if (!wide.ok() || !install::KeptControlSum(appName_, path, kept) ||
        !guard.OpenReadLocked(wide.c_str()) || !install::Sha256OfFile(guard, found) ||
        std::memcmp(kept, found, sizeof kept) != 0)
        return false;
    platform::CallControl(wide.c_str(), "DllUnregisterServer");
    return true;
}

bool WindowsSystem::RemoveFile(const char* path, platform::ErrorCode* error) {
    // Through one handle, checked to lie in the install folder: a junction put in the place of a
    // folder after the removal looked at it leads nowhere.
    return platform::RemoveThroughHandle(path, false, installFolder_, error);
}

bool WindowsSystem::RemoveFolder(const char* path, platform::ErrorCode* error) {
    return platform::RemoveThroughHandle(path, true, installFolder_, error);
}

bool WindowsSystem::HoldsOthers(const char* folder) {
    wchar_t pattern[platform::kPathRoom];
    const platform::Wide wide(folder);
    pattern[0] = L'\0';
    if (!wide.ok() || !AppendWide(pattern, platform::kPathRoom, wide.c_str()) ||
        !AppendWide(pattern, platform::kPathRoom, L"\\*"))
        return true;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool others = false;
    do {
        const wchar_t* name = entry.cFileName;
        if (lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0 ||
            lstrcmpiW(name, package::kUninstallerNameWide) == 0 ||
            lstrcmpiW(name, package::kLogNameWide) == 0 ||
            lstrcmpiW(name, package::kWrittenListNameWide) == 0)
            continue;
        others = true;
    } while (!others && FindNextFileW(search, &entry));
    FindClose(search);
    return others;
}

void WindowsSystem::FindLinkFolders() {
    if (foldersFound_) return;
    foldersFound_ = true;
    for (int kind = 0; kind < kLinkFolders; ++kind) {
        wchar_t* folder = linkFolders_[kind];
        if (!platform::ShellFolder(kCsidl[kind], folder)) continue;
        // The program group: the programs folder and the application's name, which must be one
        // plain name (the block is untrusted: no "..", no backslash).
        if (kind == static_cast<int>(LinkFolder::Group)) {
            const platform::Wide name(appName_);
            if (!IsPlainName(appName_) || !name.ok() || !AppendWide(folder, MAX_PATH, L"\\") ||
                !AppendWide(folder, MAX_PATH, name.c_str())) {
                folder[0] = L'\0';
                continue;
            }
        }
        if (LossyGbk(folder, 0, forms_[kind][0], platform::kPathRoom)) ++formCount_[kind];
        if (LossyGbk(folder, WC_NO_BEST_FIT_CHARS, forms_[kind][formCount_[kind]],
                     platform::kPathRoom) &&
            (formCount_[kind] == 0 || lstrcmpA(forms_[kind][0], forms_[kind][1]) != 0))
            ++formCount_[kind];
    }
}

bool WindowsSystem::LinkFolderPath(LinkFolder folder, wchar_t* path, size_t room) {
    FindLinkFolders();
    const wchar_t* found = linkFolders_[static_cast<int>(folder)];
    if (!found[0] || static_cast<size_t>(lstrlenW(found)) + 1 > room) return false;
    lstrcpyW(path, found);
    return true;
}

bool WindowsSystem::LinkPath(LinkFolder folder, const char* name, wchar_t* path, size_t room) {
    const platform::Wide wide(name);
    return wide.ok() && LinkFolderPath(folder, path, room) && AppendWide(path, room, L"\\") &&
           AppendWide(path, room, wide.c_str());
}

int WindowsSystem::LinkFolderForms(LinkFolder folder, const char* forms[2]) {
    FindLinkFolders();
    const int kind = static_cast<int>(folder);
    for (int i = 0; i < formCount_[kind]; ++i) forms[i] = forms_[kind][i];
    return formCount_[kind];
}

EntryKind WindowsSystem::ProbeLink(LinkFolder folder, const char* name, char* target, size_t room,
                                   platform::ErrorCode* error) {
    target[0] = '\0';
    wchar_t path[platform::kPathRoom];
    if (!LinkPath(folder, name, path, platform::kPathRoom)) return EntryKind::Missing;
    const EntryKind kind = KindOf(path, error);
    if (kind != EntryKind::File) return kind;
    wchar_t wideTarget[platform::kPathRoom];
    ReadLinkTarget(path, wideTarget, platform::kPathRoom);
    // A target GBK cannot hold lies in no install folder of ours.
    if (!platform::ExactGbk(wideTarget, target, room)) target[0] = '\0';
    return kind;
}

bool WindowsSystem::RemoveLink(LinkFolder folder, const char* name, platform::ErrorCode* error) {
    wchar_t path[platform::kPathRoom];
    if (!LinkPath(folder, name, path, platform::kPathRoom)) {
        *error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    return DeleteWide(path, error);
}

void WindowsSystem::ListLinks(LinkFolder folder, package::LineList* names) {
    wchar_t pattern[platform::kPathRoom];
    if (!LinkFolderPath(folder, pattern, platform::kPathRoom) ||
        !AppendWide(pattern, platform::kPathRoom, L"\\*.lnk"))
        return;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        char name[platform::kPathRoom];
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            platform::ExactGbk(entry.cFileName, name, sizeof name))
            names->Add(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool WindowsSystem::RemoveGroupFolder(platform::ErrorCode* error) {
    wchar_t path[platform::kPathRoom];
    if (!LinkFolderPath(LinkFolder::Group, path, platform::kPathRoom)) return true;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return true;
    return RemoveEmptyFolder(path, error);
}

ValueKind WindowsSystem::ReadDefaultValue(const char* key, char* value, size_t room) {
    value[0] = '\0';
    const platform::Wide name(key);
    HKEY opened;
    if (!name.ok() || RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
                          ERROR_SUCCESS)
        return ValueKind::Missing;
    wchar_t data[platform::kPathRoom + 1] = {};
    DWORD type = 0;
    DWORD size = sizeof data - sizeof(wchar_t);
    const LONG result =
        RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (result == ERROR_FILE_NOT_FOUND) return ValueKind::Missing;
    if (result != ERROR_SUCCESS || type != REG_SZ) return ValueKind::Other;
    data[size / sizeof(wchar_t)] = L'\0';
    return platform::ExactGbk(data, value, room) ? ValueKind::Text : ValueKind::Other;
}

bool WindowsSystem::DeleteDefaultValue(const char* key, platform::ErrorCode* error) {
    const platform::Wide name(key);
    HKEY opened;
    LONG result = RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_SET_VALUE, &opened);
    if (result == ERROR_SUCCESS) {
        result = RegDeleteValueW(opened, nullptr);
        RegCloseKey(opened);
    }
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return true;
    *error = static_cast<platform::ErrorCode>(result);
    return false;
}

namespace {
// How many subkeys and values a key below HKEY_CLASSES_ROOT has; false when it cannot be told.
bool CountKey(const wchar_t* name, DWORD* subkeys, DWORD* values) {
    HKEY opened;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    const LONG result = RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, subkeys, nullptr,
                                         nullptr, values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}
}  // namespace

void WindowsSystem::DeleteKeyIfEmpty(const char* key) {
    const platform::Wide name(key);
    DWORD subkeys = 1, values = 1;
    if (name.ok() && CountKey(name.c_str(), &subkeys, &values) && subkeys == 0 && values == 0)
        RegDeleteKeyW(HKEY_CLASSES_ROOT, name.c_str());
}

bool WindowsSystem::HoldsOnlyDefaultValue(const char* key) {
    const platform::Wide name(key);
    DWORD subkeys = 1, values = 0;
    return name.ok() && CountKey(name.c_str(), &subkeys, &values) && subkeys == 0 && values == 1;
}

UninstallSystem::Restore WindowsSystem::RestoreReplacedValue(const char* key,
                                                             platform::ErrorCode* error) {
    // The two enumerations name the same outcomes in the same order.
    return static_cast<Restore>(install::RestoreReplacedValue(appName_, key, error));
}

bool WindowsSystem::RemoveUninstallEntry(platform::ErrorCode* error) {
    // What the installation kept goes with its entry.
    return install::RemoveUninstallEntry(appName_, uninstaller_, error) &&
           install::RemoveKeptValues(appName_, error);
}

bool WindowsSystem::OtherApplicationIn(const char* folder, char* name, size_t room) {
    return install::FindOtherEntryAt(appName_, folder, name, room);
}

void WindowsSystem::Describe(platform::ErrorCode error, char* text, size_t room) {
    text[0] = '\0';
    wchar_t wide[512];
    platform::SystemReason(error, wide, 512);
    // The system's words in its own language: what GBK cannot hold shows as '?'.
    if (!LossyGbk(wide, WC_NO_BEST_FIT_CHARS, text, room)) text[0] = '\0';
}

}  // namespace unwise
