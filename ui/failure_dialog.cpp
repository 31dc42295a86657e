#include "ui/failure_dialog.h"

#include "install/run_texts.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"

namespace ui {

const char* WhatFailed(install::WriteFailure::Kind kind) {
    using install::WriteFailure;
    switch (kind) {
        case WriteFailure::CannotCreate: return install::text::kCannotCreate;
        case WriteFailure::CannotWrite: return install::text::kCannotWrite;
        case WriteFailure::CannotReplace: return install::text::kCannotReplace;
        case WriteFailure::DamagedData: return install::text::kDamagedData;
        case WriteFailure::CannotRead: return install::text::kCannotRead;
        case WriteFailure::PathTooLong: return install::text::kPathTooLong;
    }
    return install::text::kCannotWrite;
}

namespace {

// Appends `text` to the wide buffer, cut at its room.
void AppendWide(wchar_t* buffer, int room, const wchar_t* text) {
    int used = lstrlenW(buffer);
    lstrcpynW(buffer + used, text, room - used);
}
}  // namespace

void SystemReason(unsigned long error, wchar_t* text, int room) {
    text[0] = L'\0';
    if (error == 0) return;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, static_cast<DWORD>(room), nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n'))
        text[--length] = L'\0';
    if (length == 0) {
        // No text for the code: its number still helps whoever reads it.
        wsprintfW(text, L"0x%08lX", error);
    }
}

void ShowFailureBox(HWND owner, const char* message, unsigned long error) {
    gbk::Text<1024> text;
    text.Assign(message);
    wchar_t reason[512];
    SystemReason(error, reason, 512);
    char narrow[1024];
    if (reason[0] && platform::Narrow(reason, narrow, sizeof narrow)) {
        text.Append("\n\n");
        text.Append(narrow);
    }
    platform::ShowOwnedMessageBox(owner, text.c_str(), nullptr, MB_OK);
}

FailureDialog::FailureDialog(const char* caption, const char* path,
                             const install::WriteFailure& failure)
    : Dialog(kTemplate), caption_(caption), path_(path), failure_(failure) {}

install::FailureChoice FailureDialog::Ask(HWND owner) {
    switch (RunModal(owner)) {
        case kRetry: return install::FailureChoice::Retry;
        case kStop: return install::FailureChoice::Stop;
        default: return install::FailureChoice::Skip;
    }
}

bool FailureDialog::OnInitDialog() {
    SetTitle(caption_);
    HICON warning = LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_WARNING
    SendDlgItemMessageW(hwnd(), kIconControl, STM_SETICON, reinterpret_cast<WPARAM>(warning), 0);
    wchar_t text[4096] = L"";
    AppendWide(text, 4096, platform::Wide(WhatFailed(failure_.kind)).c_str());
    AppendWide(text, 4096, L"\r\n");
    AppendWide(text, 4096, platform::Wide(path_).c_str());
    wchar_t reason[1024];
    SystemReason(failure_.error, reason, 1024);
    if (reason[0]) {
        AppendWide(text, 4096, L"\r\n\r\n");
        AppendWide(text, 4096, platform::Wide(install::text::kReason).c_str());
        AppendWide(text, 4096, reason);
    }
    SetDlgItemTextW(hwnd(), kMessageControl, text);
    SetFocus(Item(kRetry));
    return false;  // the focus is set: Enter tries again
}

bool FailureDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == kRetry || id == kSkip || id == kStop) {
        End(id);
        return true;
    }
    if (id == IDCANCEL) {
        End(kSkip);
        return true;
    }
    return false;
}

}  // namespace ui
