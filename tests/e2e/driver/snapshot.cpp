#include "snapshot.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>

#include "readback.h"

namespace e2e {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

// FNV-1a of a file's bytes: enough to tell a changed file.
bool Checksum(const std::wstring& path, unsigned long long* sum) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned long long hash = 1469598103934665603ull;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    CloseHandle(file);
    *sum = hash;
    return true;
}

// Entries of a snapshot by their path below its root (folded for comparing); the text says
// what the entry is.
using Picture = std::map<std::string, std::string>;
struct TreeShot {
    std::wstring root;
    Picture picture;
};
std::map<std::string, TreeShot> g_snapshots;

// A file as a snapshot knows it: its size and the checksum of its bytes; a link by where it
// points instead, since its bytes carry its target's times.
std::string FileText(const std::wstring& path, DWORD size) {
    std::string link;
    const size_t dot = path.rfind(L'.');
    if (dot != std::wstring::npos && lstrcmpiW(path.c_str() + dot, L".lnk") == 0 &&
        LinkText(path, &link))
        return " (link to " + link + ")";
    unsigned long long sum = 0;
    char text[64];
    if (Checksum(path, &sum))
        std::snprintf(text, sizeof text, " (%lu bytes, %016llx)", size, sum);
    else
        std::snprintf(text, sizeof text, " (%lu bytes, unreadable)", size);
    return text;
}

void FolderPicture(const std::wstring& folder, const std::wstring& below, Picture* picture) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = below.empty() ? name : below + L"\\" + name;
        const std::string shown = Utf8Of(path);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*picture)[Lower(shown)] = shown + "\\ (folder)";
            FolderPicture(folder + L"\\" + name, path, picture);
        } else {
            (*picture)[Lower(shown)] = shown + FileText(folder + L"\\" + name, entry.nFileSizeLow);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::string ValueText(DWORD type, const BYTE* data, DWORD length) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data), length / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return "\"" + Utf8Of(text) + "\"";
    }
    if (type == REG_DWORD && length == 4)
        return std::to_string(*reinterpret_cast<const DWORD*>(data));
    std::string hex = "type " + std::to_string(type) + ":";
    char byte[4];
    for (DWORD i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        hex += byte;
    }
    return hex;
}

void KeyPicture(HKEY key, const std::wstring& below, Picture* picture) {
    DWORD longestValue = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &longestValue, &longestData, nullptr, nullptr);
    std::vector<wchar_t> value(longestValue + 2);
    std::vector<BYTE> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD valueLength = static_cast<DWORD>(value.size()), type = 0;
        DWORD dataLength = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, value.data(), &valueLength, nullptr, &type, data.data(),
                          &dataLength) != ERROR_SUCCESS)
            break;
        const std::string name = Utf8Of(below) + " : " + (value[0] ? Utf8Of(value.data()) : "@");
        (*picture)[Lower(name)] = name + " = " + ValueText(type, data.data(), dataLength);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t sub[260];
        DWORD subLength = 260;
        if (RegEnumKeyExW(key, i, sub, &subLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::wstring path = below.empty() ? sub : below + L"\\" + sub;
        const std::string shown = Utf8Of(path);
        (*picture)[Lower(shown)] = shown + "\\ (key)";
        HKEY child;
        if (RegOpenKeyExW(key, sub, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            KeyPicture(child, path, picture);
            RegCloseKey(child);
        }
    }
}

}  // namespace

std::string WriteLines(const std::wstring& path, const std::string& ending,
                       const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += Encode(ExpandVariables(WideOf(line)), 936) + ending;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "cannot create " + Utf8Of(path) + " (error " + std::to_string(GetLastError()) + ")";
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size());
    CloseHandle(file);
    return ok ? "" : "cannot write " + Utf8Of(path);
}

std::string MakeLink(const std::wstring& link, const std::wstring& target) {
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    std::string why = "cannot make the link " + Utf8Of(link);
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        shellLink->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(
                shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Save(link.c_str(), TRUE))) why.clear();
            file->Release();
        }
        shellLink->Release();
    }
    if (com) CoUninitialize();
    return why;
}

// The picture of `what` now.
static std::string PictureOf(const std::wstring& what, Picture* picture) {
    HKEY root;
    std::wstring rest;
    if (RootOf(what, &root, &rest)) {
        HKEY key;
        // A key that is not there is an empty picture: whatever appears later shows.
        if (RegOpenKeyExW(root, rest.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            KeyPicture(key, L"", picture);
            RegCloseKey(key);
        }
        return "";
    }
    // Nothing there is an empty picture too; a single file is a picture of one entry.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(what.c_str(), GetFileExInfoStandard, &data)) return "";
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        FolderPicture(what, L"", picture);
    else
        (*picture)[""] = "the file" + FileText(what, data.nFileSizeLow);
    return "";
}

void PrintTree(const std::wstring& what) {
    Picture picture;
    PictureOf(what, &picture);
    std::string text = Utf8Of(what) + ":\n";
    for (const auto& entry : picture) text += "  " + entry.second + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::string TakeSnapshot(const std::string& name, const std::wstring& what) {
    TreeShot snapshot{what, {}};
    const std::string why = PictureOf(what, &snapshot.picture);
    if (why.empty()) g_snapshots[name] = snapshot;
    return why;
}

std::string CompareSnapshot(const std::string& name, const std::vector<std::string>& except) {
    auto found = g_snapshots.find(name);
    if (found == g_snapshots.end()) return "no snapshot " + name;
    const TreeShot& before = found->second;
    Picture now;
    const std::string why = PictureOf(before.root, &now);
    if (!why.empty()) return why;
    auto excepted = [&](const std::string& path) {
        for (const std::string& prefix : except)
            if (path.compare(0, prefix.size(), Lower(prefix)) == 0) return true;
        return false;
    };
    std::vector<std::string> changes;
    for (const auto& entry : before.picture) {
        if (excepted(entry.first)) continue;
        auto after = now.find(entry.first);
        if (after == now.end())
            changes.push_back("gone: " + entry.second);
        else if (after->second != entry.second)
            changes.push_back("changed: " + entry.second + " -> " + after->second);
    }
    for (const auto& entry : now)
        if (!excepted(entry.first) && !before.picture.count(entry.first))
            changes.push_back("new: " + entry.second);
    if (changes.empty()) return "";
    std::string text = Utf8Of(before.root) + " changed since the snapshot " + name + ":";
    for (size_t i = 0; i < changes.size() && i < 20; ++i) text += "\n       " + changes[i];
    if (changes.size() > 20)
        text += "\n       and " + std::to_string(changes.size() - 20) + " more";
    return text;
}

std::string RegQuery(const std::wstring& key, std::string* output) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(system) + L"\\reg.exe\" query \"" + key + L"\" /s";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "cannot make a pipe";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return "cannot start reg.exe";
    }
    CloseHandle(writeEnd);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    *output = Utf8Of(Decode(bytes, 936));
    return "";
}

std::string RegistryText(const std::wstring& key, const std::wstring& value, std::wstring* text) {
    HKEY root;
    std::wstring rest;
    if (!RootOf(key, &root, &rest)) return "not a key of HKCR, HKCU or HKLM: " + Utf8Of(key);
    HKEY opened;
    if (RegOpenKeyExW(root, rest.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "no key " + Utf8Of(key);
    wchar_t data[2048] = {};
    DWORD type = 0, length = sizeof data - sizeof(wchar_t);
    const LONG result = RegQueryValueExW(opened, value.empty() ? nullptr : value.c_str(), nullptr,
                                         &type, reinterpret_cast<BYTE*>(data), &length);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return "no text value " + Utf8Of(value) + " in " + Utf8Of(key);
    *text = data;
    return "";
}

}  // namespace e2e
