#include <windows.h>

#include "platform/message_box.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"

namespace platform {

namespace {
MessageHook g_hook = nullptr;
}  // namespace

void DefaultCaption(wchar_t* caption, size_t room) {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length >= MAX_PATH) length = 0;
    path[length] = L'\0';
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    size_t end = 0;
    while (name[end]) ++end;
    for (size_t dot = end; dot > 0; --dot)
        if (name[dot] == L'.') {
            end = dot;
            break;
        }
    if (end >= room) end = room - 1;
    for (size_t i = 0; i < end; ++i) caption[i] = name[i];
    caption[end] = L'\0';
}

void ShowAppMessage(const char* text, const char* caption) {
    if (g_hook) {
        g_hook(text, caption ? caption : "");
        return;
    }
    wchar_t fallback[MAX_PATH + 1];
    const Wide given(caption ? caption : "");
    const wchar_t* title = given.c_str();
    if (!*title) {
        DefaultCaption(fallback, MAX_PATH + 1);
        title = fallback;
    }
    MessageBoxW(GetActiveWindow(), Wide(text).c_str(), title, MB_OK);
}

void SetMessageHook(MessageHook hook) { g_hook = hook; }

}  // namespace platform
