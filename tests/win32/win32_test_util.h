// Helpers for the Win32 tests: a scratch folder under the prefix's temporary folder, and the
// GBK <-> UTF-16 conversions of test code.
#pragma once

#include <windows.h>

#include <string>

#include "package/trailer.h"
#include "platform/file.h"

inline std::wstring W(const std::string& gbk) {
    if (gbk.empty()) return std::wstring();
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], n);
    return wide;
}

inline std::string G(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string gbk(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &gbk[0], n, nullptr,
                        nullptr);
    return gbk;
}

inline std::string TrailerText(int32_t length, int32_t offset) {
    char text[package::kTrailerRoom];
    package::FormatTrailer(length, offset, text);
    return text;
}

// How many files of `pattern` (a wildcard) the folder holds.
inline int CountFiles(const std::wstring& folder, const wchar_t* pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

inline std::wstring TempFolderW() {
    wchar_t folder[platform::kPathRoom];
    return platform::TempFolder(folder, platform::kPathRoom) ? folder : L"";
}

class WinTempDir {
public:
    WinTempDir() {
        static int serial = 0;
        path_ = G(TempFolderW()) + "t" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++serial) + "\\";
        platform::CreateFolder(path_.c_str());
    }
    ~WinTempDir() { RemoveTree(W(path_)); }
    // `name` is GBK.
    std::string File(const std::string& name) const { return path_ + name; }
    const std::string& path() const { return path_; }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full + L"\\");
                else
                    DeleteFileW(full.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::string path_;
};

inline bool PutBytes(const std::string& path, const std::string& bytes) {
    platform::RawFile file;
    return file.Create(path.c_str()) && file.Write(bytes.data(), bytes.size());
}

inline std::string GetBytes(const std::string& path) {
    platform::RawFile file;
    if (!file.OpenRead(path.c_str())) return "<missing>";
    std::string bytes(static_cast<size_t>(file.Length()), '\0');
    bytes.resize(file.Read(&bytes[0], bytes.size()));
    return bytes;
}
