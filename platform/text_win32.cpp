#include "platform/text_win32.h"

#include <windows.h>

#include "platform/file.h"

namespace platform {

Wide::Wide(const char* gbk) {
    text_[0] = L'\0';
    ok_ = true;
    if (!*gbk) return;
    int length = MultiByteToWideChar(kGbkCodePage, 0, gbk, -1, text_, kRoom);
    if (length == 0) {
        // Too long: keep what fits, so a message still shows, and say it was cut.
        ok_ = false;
        MultiByteToWideChar(kGbkCodePage, 0, gbk, static_cast<int>(kRoom / 2), text_, kRoom - 1);
        text_[kRoom - 1] = L'\0';
    }
}

bool Narrow(const wchar_t* wide, char* out, size_t room) {
    if (room == 0) return false;
    out[0] = '\0';
    if (!*wide) return true;
    int length = WideCharToMultiByte(kGbkCodePage, 0, wide, -1, out, static_cast<int>(room),
                                     nullptr, nullptr);
    if (length == 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool FitsGbk(const wchar_t* wide) {
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0,
                                     nullptr, &lost);
    return length > 0 && !lost;
}

bool ExactGbk(const wchar_t* wide, char* out, size_t room) {
    if (FitsGbk(wide)) return Narrow(wide, out, room);
    if (room) out[0] = '\0';
    return false;
}

bool AppendWide(wchar_t* buffer, size_t room, const wchar_t* text) {
    const size_t used = static_cast<size_t>(lstrlenW(buffer));
    const size_t length = static_cast<size_t>(lstrlenW(text));
    if (used + length + 1 > room) return false;
    lstrcpyW(buffer + used, text);
    return true;
}

void SystemReason(unsigned long error, wchar_t* text, int room) {
    text[0] = L'\0';
    if (error == 0) return;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, static_cast<DWORD>(room), nullptr);
    // One line, for a report's line as for a box: the system's line breaks become blanks, and
    // the trailing ones go.
    for (DWORD i = 0; i < length; ++i)
        if (text[i] == L'\r' || text[i] == L'\n') text[i] = L' ';
    while (length > 0 && text[length - 1] == L' ') text[--length] = L'\0';
    if (length == 0) {
        // No text for the code: its number still helps whoever reads it.
        wsprintfW(text, L"0x%08lX", error);
    }
}

namespace {
bool FolderAsGbk(UINT(WINAPI* get)(LPWSTR, UINT), char* folder, size_t room) {
    wchar_t wide[MAX_PATH];
    const UINT length = get(wide, MAX_PATH);
    if (length > 0 && length < MAX_PATH && ExactGbk(wide, folder, room)) return true;
    folder[0] = '\0';
    return false;
}
}  // namespace

bool FullLongPath(const wchar_t* path, wchar_t* full, size_t room) {
    const DWORD length = GetFullPathNameW(path, static_cast<DWORD>(room), full, nullptr);
    if (length == 0 || length >= room) return false;
    // Short names (PROGRA~1) name the same files: made long, both sides compare alike. Only what
    // exists has a long name; for a file that is gone, its folder's is taken.
    wchar_t longer[kPathRoom];
    DWORD made = GetLongPathNameW(full, longer, kPathRoom);
    if (made > 0 && made < kPathRoom && made < room) {
        lstrcpyW(full, longer);
        return true;
    }
    int separator = -1;
    for (int i = 0; full[i]; ++i)
        if (full[i] == L'\\') separator = i;
    if (separator <= 2) return true;
    full[separator] = L'\0';
    made = GetLongPathNameW(full, longer, kPathRoom);
    full[separator] = L'\\';
    if (made == 0 || made >= kPathRoom) return true;
    if (made + static_cast<size_t>(lstrlenW(full + separator)) + 1 > room) return true;
    lstrcpyW(longer + made, full + separator);
    lstrcpyW(full, longer);
    return true;
}

bool WindowsFolder(char* folder, size_t room) {
    return FolderAsGbk(GetWindowsDirectoryW, folder, room);
}

bool SystemFolder(char* folder, size_t room) {
    return FolderAsGbk(GetSystemDirectoryW, folder, room);
}

}  // namespace platform
