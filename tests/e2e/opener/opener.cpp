// A program that opens documents: it writes the arguments it was given, each in brackets
// (UTF-8), into "opened.txt" beside itself, so a scenario sees what the open command handed over.
#include <windows.h>

#include <shellapi.h>

#include <string>

int wmain() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!arguments || length == 0 || length >= MAX_PATH) return 1;
    std::wstring path(self, length);
    path = path.substr(0, path.rfind(L'\\') + 1) + L"opened.txt";
    std::string text;
    for (int i = 1; i < count; ++i) {
        char utf8[4 * MAX_PATH];
        const int n =
            WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, utf8, sizeof utf8, nullptr, nullptr);
        if (n > 0) text += "[" + std::string(utf8, static_cast<size_t>(n - 1)) + "]";
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
