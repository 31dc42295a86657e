// GBK <-> UTF-16 at the Win32 boundary. Always code page 936, never CP_ACP: the installer must
// show and write correct Chinese names whatever the user's locale.
#pragma once

#include <string>

namespace platform {

constexpr unsigned kGbkCodePage = 936;

std::wstring Widen(const std::string& gbk);
std::wstring Widen(const char* gbk);
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide);

}  // namespace platform
