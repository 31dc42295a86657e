#include "platform/window_message_box.h"

#include <windows.h>

#include "platform/text_win32.h"

namespace platform {

namespace {
OwnedMessageBoxHook g_hook = nullptr;
}

void SetOwnedMessageBoxHook(OwnedMessageBoxHook hook) { g_hook = hook; }

int ShowOwnedMessageBox(void* owner, const std::string& text, const char* caption, unsigned type) {
    const std::string title = caption ? std::string(caption) : DefaultCaption();
    if (g_hook) return g_hook(owner, text, title, type);
    return MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(title).c_str(), type);
}

}  // namespace platform
