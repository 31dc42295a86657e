#include "platform/text_win32.h"

#include <windows.h>

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

}  // namespace platform
