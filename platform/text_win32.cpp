#include "platform/text_win32.h"

#include <windows.h>

#include <cstring>

namespace platform {

std::wstring Widen(const char* gbk) {
    int length = static_cast<int>(std::strlen(gbk));
    if (length == 0) return std::wstring();
    int needed = MultiByteToWideChar(kGbkCodePage, 0, gbk, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk, length, &wide[0], needed);
    return wide;
}

std::wstring Widen(const std::string& gbk) { return Widen(gbk.c_str()); }

std::string Narrow(const wchar_t* wide) {
    int length = static_cast<int>(std::wcslen(wide));
    if (length == 0) return std::string();
    int needed = WideCharToMultiByte(kGbkCodePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string gbk(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide, length, &gbk[0], needed, nullptr, nullptr);
    return gbk;
}

std::string Narrow(const std::wstring& wide) { return Narrow(wide.c_str()); }

}  // namespace platform
