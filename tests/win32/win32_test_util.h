// Helpers for the Win32 tests: a scratch folder under the prefix's temporary folder.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file.h"
#include "platform/text_win32.h"

class WinTempDir {
public:
    WinTempDir() {
        static int serial = 0;
        path_ = platform::TempFolder() + "t" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++serial) + "\\";
        platform::CreateFolder(path_);
    }
    ~WinTempDir() { RemoveTree(platform::Widen(path_)); }
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

inline void PutBytes(const std::string& path, const std::string& bytes) {
    platform::RawFile file;
    file.CreateOrThrow(path);
    file.Write(bytes.data(), bytes.size());
}

inline std::string GetBytes(const std::string& path) {
    platform::RawFile file;
    if (!file.OpenRead(path)) return "<missing>";
    std::string bytes(static_cast<size_t>(file.Length()), '\0');
    bytes.resize(file.Read(&bytes[0], bytes.size()));
    return bytes;
}
