// The yardstick of the installation benchmark: the plainest Win32 copy of a tree, file by file,
// each folder created and each file written directly with the installer's buffer size.
//
//   tree_copier.exe SOURCE DESTINATION   (prints the milliseconds the copy took)
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
constexpr DWORD kBuffer = 64 * 1024;
char g_buffer[kBuffer];
long long g_files = 0, g_bytes = 0;

bool CopyOne(const std::wstring& from, const std::wstring& to) {
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bool ok = out != INVALID_HANDLE_VALUE;
    DWORD got = 0, put = 0;
    while (ok && ReadFile(in, g_buffer, kBuffer, &got, nullptr) && got > 0) {
        ok = WriteFile(out, g_buffer, got, &put, nullptr) && put == got;
        g_bytes += got;
    }
    CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    ++g_files;
    return ok;
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = CopyOne(from + L"\\" + name, to + L"\\" + name) && ok;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tree_copier SOURCE DESTINATION\n");
        return 2;
    }
    const DWORD start = GetTickCount();
    const bool ok = CopyTree(argv[1], argv[2]);
    std::printf("copied %lld files, %lld bytes in %lu ms\n", g_files, g_bytes,
                GetTickCount() - start);
    return ok ? 0 : 1;
}
