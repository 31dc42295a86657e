// A stand-in for a system DLL that an attacker leaves in the download folder beside setup.exe.
// Loading it leaves a marker file, so a test can tell whether the program picked it up.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    wchar_t marker[MAX_PATH] = L"C:\\planted-";
    lstrcatW(marker, name);
    lstrcatW(marker, L".txt");
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, path, lstrlenW(path) * sizeof(wchar_t), &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
