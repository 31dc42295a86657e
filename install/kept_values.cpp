#include "install/kept_values.h"

#include <windows.h>
// After windows.h, which it needs.
#include <wincrypt.h>

#include <initializer_list>

#include "platform/gbk.h"
#include "platform/text_win32.h"

namespace install {

namespace {
constexpr const char kRoot[] = "Software\\sfx-installer";
constexpr const wchar_t kReplaced[] = L"Replaced";
constexpr const wchar_t kControls[] = L"Controls";
// A default value of ours is at most a 256-byte GBK text; one of the machine's may be longer.
constexpr DWORD kValueRoom = 4096;
// Kept for a value that was not there: an empty REG_NONE.
constexpr DWORD kAbsent = REG_NONE;

// "Software\sfx-installer\NAME\PART"; false for a name that is no plain key name.
bool StorePath(const char* appName, const wchar_t* part, wchar_t* path, size_t room) {
    if (!*appName || gbk::FirstBackslash(appName) != gbk::kNotFound) return false;
    gbk::Text<600> narrow(kRoot);
    if (!narrow.Append("\\") || !narrow.Append(appName)) return false;
    const platform::Wide wide(narrow.c_str());
    if (!wide.ok() || static_cast<size_t>(lstrlenW(wide.c_str()) + lstrlenW(part) + 2) > room)
        return false;
    lstrcpyW(path, wide.c_str());
    if (*part) {
        lstrcatW(path, L"\\");
        lstrcatW(path, part);
    }
    return true;
}

HKEY OpenStore(const char* appName, const wchar_t* part, REGSAM access, bool create) {
    wchar_t path[700];
    if (!StorePath(appName, part, path, 700)) return nullptr;
    HKEY key = nullptr;
    const LONG result =
        create ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access, nullptr, &key, nullptr)
               : RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

struct RawValue {
    DWORD type = 0;
    DWORD size = 0;
    BYTE bytes[kValueRoom];
};

// The default value of HKEY_CLASSES_ROOT\`key`; false when there is none (or none that fits).
bool ReadClassValue(const wchar_t* key, RawValue* value) {
    HKEY opened;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    value->size = kValueRoom;
    const bool found = RegQueryValueExW(opened, nullptr, nullptr, &value->type, value->bytes,
                                        &value->size) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return found;
}
}  // namespace

void KeepReplacedValue(const char* appName, const char* key) {
    const platform::Wide wideKey(key);
    HKEY store =
        wideKey.ok() ? OpenStore(appName, kReplaced, KEY_QUERY_VALUE | KEY_SET_VALUE, true) : nullptr;
    if (!store) return;
    // The first installation keeps the machine's value; an update finds its own there, and
    // keeps nothing more.
    if (RegQueryValueExW(store, wideKey.c_str(), nullptr, nullptr, nullptr, nullptr) ==
        ERROR_FILE_NOT_FOUND) {
        RawValue old;
        if (!ReadClassValue(wideKey.c_str(), &old)) {
            old.type = kAbsent;
            old.size = 0;
        }
        RegSetValueExW(store, wideKey.c_str(), 0, old.type, old.bytes, old.size);
    }
    RegCloseKey(store);
}

Restored RestoreReplacedValue(const char* appName, const char* key, platform::ErrorCode* error) {
    const platform::Wide wideKey(key);
    HKEY store =
        wideKey.ok() ? OpenStore(appName, kReplaced, KEY_QUERY_VALUE | KEY_SET_VALUE, false) : nullptr;
    if (!store) return Restored::NothingKept;
    RawValue old;
    old.size = kValueRoom;
    Restored restored = Restored::NothingKept;
    if (RegQueryValueExW(store, wideKey.c_str(), nullptr, &old.type, old.bytes, &old.size) ==
        ERROR_SUCCESS) {
        LONG result = ERROR_SUCCESS;
        // An empty REG_NONE: there was no value, and ours is removed like any value of ours.
        if (old.type != kAbsent || old.size != 0) {
            HKEY target;
            result = RegOpenKeyExW(HKEY_CLASSES_ROOT, wideKey.c_str(), 0, KEY_SET_VALUE, &target);
            if (result == ERROR_SUCCESS) {
                result = RegSetValueExW(target, nullptr, 0, old.type, old.bytes, old.size);
                RegCloseKey(target);
            }
            restored = result == ERROR_SUCCESS ? Restored::Restored : Restored::Failed;
        }
        if (result == ERROR_SUCCESS)
            RegDeleteValueW(store, wideKey.c_str());
        else
            *error = static_cast<platform::ErrorCode>(result);
    }
    RegCloseKey(store);
    return restored;
}

bool Sha256OfFile(platform::RawFile& file, unsigned char sum[kSha256Size]) {
    HCRYPTPROV provider;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return false;
    HCRYPTHASH hash;
    bool ok = CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) != FALSE;
    if (ok) {
        const int64_t length = file.Length();
        int64_t done = 0;
        ok = file.Seek(0, platform::RawFile::Origin::Begin) == 0;
        unsigned char chunk[16 * 1024];
        while (ok && done < length) {
            const size_t got = file.Read(chunk, sizeof chunk);
            ok = got > 0 && CryptHashData(hash, chunk, static_cast<DWORD>(got), 0);
            done += static_cast<int64_t>(got);
        }
        DWORD size = kSha256Size;
        ok = ok && done == length && CryptGetHashParam(hash, HP_HASHVAL, sum, &size, 0) &&
             size == kSha256Size;
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    return ok;
}

void KeepControlSum(const char* appName, const char* path, const unsigned char sum[kSha256Size]) {
    const platform::Wide name(path);
    HKEY store = OpenStore(appName, kControls, KEY_SET_VALUE, true);
    if (!store) return;
    if (name.ok()) RegSetValueExW(store, name.c_str(), 0, REG_BINARY, sum, kSha256Size);
    RegCloseKey(store);
}

bool KeptControlSum(const char* appName, const char* path, unsigned char sum[kSha256Size]) {
    const platform::Wide name(path);
    HKEY store = OpenStore(appName, kControls, KEY_QUERY_VALUE, false);
    if (!store) return false;
    DWORD type = 0;
    DWORD size = kSha256Size;
    const bool found = name.ok() &&
                       RegQueryValueExW(store, name.c_str(), nullptr, &type, sum, &size) ==
                           ERROR_SUCCESS &&
                       type == REG_BINARY && size == kSha256Size;
    RegCloseKey(store);
    return found;
}

bool RemoveKeptValues(const char* appName, platform::ErrorCode* error) {
    wchar_t path[700];
    if (!StorePath(appName, L"", path, 700)) return true;
    HKEY store;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, DELETE | KEY_ENUMERATE_SUB_KEYS, &store);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result == ERROR_SUCCESS) {
        // Its two parts hold values only.
        for (const wchar_t* part : {kReplaced, kControls}) {
            const LONG removed = RegDeleteKeyW(store, part);
            if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) result = removed;
        }
        RegCloseKey(store);
        if (result == ERROR_SUCCESS) result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    }
    // The root of every application's key goes with the last of them.
    const platform::Wide root(kRoot);
    if (root.ok()) RegDeleteKeyW(HKEY_LOCAL_MACHINE, root.c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return true;
    *error = static_cast<platform::ErrorCode>(result);
    return false;
}

}  // namespace install
