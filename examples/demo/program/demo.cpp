// The demo application: what the demo package installs and the finish page starts. It leaves
// "demo-ran.txt" beside itself with the command line it got, so a script can tell that it ran
// (and with which file, when a .dmo file was opened with it), and says hello.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    wchar_t marker[MAX_PATH + 16];
    DWORD length = GetModuleFileNameW(nullptr, marker, MAX_PATH);
    while (length > 0 && marker[length - 1] != L'\\') --length;
    lstrcpyW(marker + length, L"demo-ran.txt");
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char text[1024];
        int bytes = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text, sizeof text - 2,
                                        nullptr, nullptr);
        bytes = bytes > 0 ? bytes - 1 : 0;
        text[bytes++] = '\r';
        text[bytes++] = '\n';
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(bytes), &written, nullptr);
        CloseHandle(file);
    }
    wchar_t message[1200] = L"演示程序正在运行.";
    if (commandLine[0]) {
        lstrcatW(message, L"\n\n打开的文件: ");
        lstrcpynW(message + lstrlenW(message), commandLine, 1024);
    }
    MessageBoxW(nullptr, message, L"演示程序", MB_OK | MB_ICONINFORMATION);
    return 0;
}
