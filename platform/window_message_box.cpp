#include "platform/window_message_box.h"

#include <windows.h>

#include "platform/text_win32.h"

namespace platform {

namespace {
OwnedMessageBoxHook g_hook = nullptr;
}

void SetOwnedMessageBoxHook(OwnedMessageBoxHook hook) { g_hook = hook; }

std::string DefaultCaption() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::wstring name(path, length);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return Narrow(name);
}

int ShowOwnedMessageBox(void* owner, const std::string& text, const char* caption, unsigned type) {
    const std::string title = caption ? std::string(caption) : DefaultCaption();
    if (g_hook) return g_hook(owner, text, title, type);
    return MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(title).c_str(), type);
}

}  // namespace platform
