#include <windows.h>

#include "platform/message_box.h"
#include "platform/text_win32.h"

namespace platform {

namespace {
MessageHook g_hook = nullptr;
}  // namespace

std::string DefaultCaption() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return Narrow(name);
}

void ShowAppMessage(const std::string& text, const std::string& caption) {
    if (g_hook) {
        g_hook(text, caption);
        return;
    }
    const std::wstring title = Widen(caption.empty() ? DefaultCaption() : caption);
    // Owned by the active window of this thread, as the framework's box is, so that it stays
    // in front of the wizard.
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), title.c_str(), MB_OK);
}

void SetMessageHook(MessageHook hook) { g_hook = hook; }

}  // namespace platform
