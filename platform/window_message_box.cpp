#include "platform/window_message_box.h"

#include <windows.h>

#include "platform/text_win32.h"

namespace platform {

namespace {
OwnedMessageBoxHook g_hook = nullptr;
}

void SetOwnedMessageBoxHook(OwnedMessageBoxHook hook) { g_hook = hook; }

int ShowOwnedMessageBox(void* owner, const char* text, const char* caption, unsigned type) {
    wchar_t title[MAX_PATH + 1];
    if (caption) {
        const Wide given(caption);
        lstrcpynW(title, given.c_str(), MAX_PATH + 1);
    } else {
        DefaultCaption(title, MAX_PATH + 1);
    }
    if (g_hook) {
        char gbkTitle[MAX_PATH * 2 + 1];
        Narrow(title, gbkTitle, sizeof gbkTitle);
        return g_hook(owner, text, gbkTitle, type);
    }
    return MessageBoxW(static_cast<HWND>(owner), Wide(text).c_str(), title, type);
}

}  // namespace platform
