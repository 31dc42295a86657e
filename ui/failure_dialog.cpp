#include "ui/failure_dialog.h"

#include "install/run_report.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "resources/setup_texts.h"

namespace ui {

void ShowFailureBox(HWND owner, const char* message, unsigned long error) {
    gbk::Text<1024> text;
    text.Assign(message);
    wchar_t reason[512];
    platform::SystemReason(error, reason, 512);
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
    platform::AppendWide(text, 4096, platform::Wide(install::WhatFailed(failure_.kind)).c_str());
    platform::AppendWide(text, 4096, L"\r\n");
    platform::AppendWide(text, 4096, platform::Wide(path_).c_str());
    wchar_t reason[1024];
    platform::SystemReason(failure_.error, reason, 1024);
    if (reason[0]) {
        platform::AppendWide(text, 4096, L"\r\n\r\n");
        platform::AppendWide(text, 4096, platform::Wide(text::kReason).c_str());
        platform::AppendWide(text, 4096, reason);
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
