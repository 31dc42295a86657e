#include "readback.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>

namespace e2e {

namespace {

// The same text with CR and LF made visible, for a failure message or the demo's print.
std::string Visible(const std::string& gbk) {
    std::string out;
    for (char c : Encode(Decode(gbk, 936), CP_UTF8)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n\n";
        else
            out += c;
    }
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class ComUser {
public:
    ComUser() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComUser() {
        if (ok_) CoUninitialize();
    }

private:
    bool ok_;
};

// The target, working folder and show command of a saved link; false when it cannot be loaded.
bool LoadLink(const std::wstring& link, std::wstring* target, std::wstring* folder, int* show) {
    ComUser com;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    IPersistFile* file = nullptr;
    bool loaded = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        loaded = SUCCEEDED(file->Load(link.c_str(), STGM_READ));
        file->Release();
    }
    wchar_t buffer[MAX_PATH * 2] = {};
    if (loaded) {
        shellLink->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
        *target = buffer;
        buffer[0] = L'\0';
        shellLink->GetWorkingDirectory(buffer, MAX_PATH * 2);
        *folder = buffer;
        shellLink->GetShowCmd(show);
    }
    shellLink->Release();
    return loaded;
}

void SetFolder(const wchar_t* name, const std::wstring& path) {
    std::wstring value = path;
    if (value.size() > 3 && value.back() == L'\\') value.pop_back();
    SetEnvironmentVariableW(name, value.c_str());
}

void PrintKey(HKEY root, const std::wstring& name, const std::wstring& shown) {
    HKEY key;
    if (RegOpenKeyExW(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        Print("  " + Utf8Of(shown) + ": no such key");
        return;
    }
    Print("  [" + Utf8Of(shown) + "]");
    for (DWORD i = 0;; ++i) {
        wchar_t value[256];
        DWORD valueLength = 256, type = 0;
        BYTE data[2048];
        DWORD dataLength = sizeof data - sizeof(wchar_t);
        if (RegEnumValueW(key, i, value, &valueLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            break;
        std::string text = "(binary)";
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[dataLength] = data[dataLength + 1] = 0;
            text = "\"" + Utf8Of(reinterpret_cast<const wchar_t*>(data)) + "\"";
        } else if (type == REG_DWORD) {
            text = std::to_string(*reinterpret_cast<const DWORD*>(data));
        }
        Print("    " + (value[0] ? Utf8Of(value) : std::string("@")) + " = " + text);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t sub[256];
        DWORD subLength = 256;
        if (RegEnumKeyExW(key, i, sub, &subLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        PrintKey(root, name + L"\\" + sub, shown + L"\\" + sub);
    }
    RegCloseKey(key);
}

bool RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != 0;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpW(entry.cFileName, L".") && lstrcmpW(entry.cFileName, L".."))
                RemoveTree(path + L"\\" + entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

}  // namespace

std::string Delete(const std::wstring& path) {
    std::wstring rest;
    HKEY root;
    if (RootOf(path, &root, &rest)) {
        const LONG result = RegDeleteTreeW(root, rest.c_str());
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND
                   ? ""
                   : "cannot delete the key " + Utf8Of(path);
    }
    return RemoveTree(path) ? "" : "cannot delete " + Utf8Of(path);
}

std::string CheckContains(const std::wstring& path, const std::vector<std::string>& lines) {
    std::string text;
    if (!ReadWholeFile(path, &text)) return "cannot read " + Utf8Of(path);
    for (const std::string& line : lines)
        if (text.find(line) == std::string::npos)
            return Utf8Of(path) + " lacks " + line + "; it holds:\n" + text;
    return "";
}

std::string Encode(const std::wstring& wide, unsigned codePage) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

std::wstring Decode(const std::string& text, unsigned codePage) {
    if (text.empty()) return std::wstring();
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::wstring ExpandVariables(const std::wstring& text) {
    DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (n == 0) return text;
    std::wstring out(n, L'\0');
    n = ExpandEnvironmentStringsW(text.c_str(), &out[0], n);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::string* content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    content->clear();
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        content->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool RootOf(const std::wstring& key, HKEY* root, std::wstring* rest) {
    static const struct {
        const wchar_t* prefix;
        HKEY root;
    } kRoots[] = {
        {L"HKCR", HKEY_CLASSES_ROOT}, {L"HKCU", HKEY_CURRENT_USER}, {L"HKLM", HKEY_LOCAL_MACHINE}};
    for (const auto& candidate : kRoots) {
        const size_t length = lstrlenW(candidate.prefix);
        if (key.compare(0, length, candidate.prefix) == 0 &&
            (key.size() == length || key[length] == L'\\')) {
            *root = candidate.root;
            *rest = key.size() > length ? key.substr(length + 1) : std::wstring();
            return true;
        }
    }
    return false;
}

bool LinkText(const std::wstring& link, std::string* text) {
    std::wstring target, folder;
    int show = 0;
    if (!LoadLink(link, &target, &folder, &show)) return false;
    *text = Utf8Of(target) + " in " + Utf8Of(folder) + " shown " + std::to_string(show);
    return true;
}

std::string Utf8Of(const std::wstring& wide) { return Encode(wide, CP_UTF8); }
std::wstring WideOf(const std::string& utf8) { return Decode(utf8, CP_UTF8); }

void SetFolderVariables() {
    static const struct {
        const wchar_t* name;
        int csidl;
    } kFolders[] = {{L"SFX_DESKTOP", CSIDL_DESKTOPDIRECTORY},
                    {L"SFX_STARTMENU", CSIDL_STARTMENU},
                    {L"SFX_PROGRAMS", CSIDL_PROGRAMS}};
    for (const auto& folder : kFolders) {
        wchar_t path[MAX_PATH];
        if (SUCCEEDED(SHGetFolderPathW(nullptr, folder.csidl, nullptr, 0, path)))
            SetFolder(folder.name, path);
    }
    wchar_t path[MAX_PATH];
    if (GetWindowsDirectoryW(path, MAX_PATH)) SetFolder(L"SFX_WINDOWS", path);
    if (GetSystemDirectoryW(path, MAX_PATH)) SetFolder(L"SFX_SYSTEM", path);
}

std::string SetShellFolder(const std::wstring& name, const std::wstring& path) {
    // Every level: a profile of another name has none of them yet.
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    HKEY key;
    if (RegCreateKeyExW(
            HKEY_CURRENT_USER,
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return "cannot open the user's shell folders";
    const LONG result = RegSetValueExW(key, name.c_str(), 0, REG_EXPAND_SZ,
                                       reinterpret_cast<const BYTE*>(path.c_str()),
                                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "cannot set the shell folder " + Utf8Of(name);
    SetFolderVariables();
    return "";
}

std::string CheckLines(const std::wstring& path, const std::string& ending,
                       const std::vector<std::string>& lines) {
    std::string want;
    for (const std::string& line : lines)
        want += Encode(ExpandVariables(WideOf(line)), 936) + ending;
    std::string got;
    if (!ReadWholeFile(path, &got)) return "cannot read " + Utf8Of(path);
    if (got == want) return "";
    return Utf8Of(path) + " holds\n" + Visible(got) + "\nnot\n" + Visible(want);
}

std::string CheckLink(const std::wstring& link, const std::wstring& target,
                      const std::wstring& folder) {
    std::wstring gotTarget, gotFolder;
    int show = 0;
    if (!LoadLink(link, &gotTarget, &gotFolder, &show)) return "no link " + Utf8Of(link);
    if (lstrcmpiW(gotTarget.c_str(), target.c_str()) != 0)
        return Utf8Of(link) + " opens " + Utf8Of(gotTarget) + ", not " + Utf8Of(target);
    if (lstrcmpiW(gotFolder.c_str(), folder.c_str()) != 0)
        return Utf8Of(link) + " starts in " + Utf8Of(gotFolder) + ", not " + Utf8Of(folder);
    if (show != SW_SHOW && show != SW_SHOWNORMAL)
        return Utf8Of(link) + " shows its program with " + std::to_string(show);
    return "";
}

void PrintFile(const std::wstring& path) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) {
        Print(Utf8Of(path) + ": cannot be read");
        return;
    }
    Print(Utf8Of(path) + " (line ends shown as \\r and \\n):");
    Print(Visible(bytes));
}

void PrintLink(const std::wstring& link) {
    std::wstring target, folder;
    int show = 0;
    if (!LoadLink(link, &target, &folder, &show)) {
        Print(Utf8Of(link) + ": no link");
        return;
    }
    Print(Utf8Of(link) + " -> " + Utf8Of(target) + "  (starts in " + Utf8Of(folder) + ")");
}

void PrintRegistry(const std::wstring& key) {
    std::wstring rest;
    HKEY root;
    if (RootOf(key, &root, &rest)) {
        PrintKey(root, rest, key);
        return;
    }
    Print(Utf8Of(key) + ": not a key of HKCR, HKCU or HKLM");
}

}  // namespace e2e
