#include "ui/step4.h"

#include <commctrl.h>

#include <new>

#include "install/run_report.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "resources/setup_texts.h"
#include "ui/failure_dialog.h"
#include "ui/setup_app.h"

namespace ui {

CStep4::CStep4()
    : WizardPage(kTemplate, text::kCancelInProgress), system_(App().model, folders, App().report) {
    BindLine(kLine0, line0);
}

CStep4::~CStep4() {
    if (hwnd()) SendDlgItemMessageW(hwnd(), kAnimation, ACM_OPENW, 0, 0);
    delete run_;
}

bool CStep4::OnInitDialog() {
    gbk::Copy(line0, sizeof line0, PageLine(package::kPageProgress, 0));
    UpdateData(false);
    return true;
}

bool CStep4::OnSetActive() {
    using platform::PropertySheet;
    Sheet().SetButtonText(PropertySheet::kNextButton, text::kNextButton);
    Sheet().SetWizardButtons(0);
    SendDlgItemMessageW(hwnd(), kAnimation, ACM_OPENW,
                        reinterpret_cast<WPARAM>(GetModuleHandleW(nullptr)),
                        reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kClip)));
    SendDlgItemMessageW(hwnd(), kAnimation, ACM_PLAY, static_cast<WPARAM>(-1),
                        MAKELPARAM(0, 0xFFFF));
    return true;
}

void CStep4::OnPaint(HDC dc) {
    WizardPage::OnPaint(dc);
    // Once per run of the program: a repaint (the page uncovered, or a paint let through while
    // the run waits) only draws.
    if (!firstPaint_) return;
    firstPaint_ = false;
    install::FillBaseFolders(App().model.installDir, &folders);
    SendDlgItemMessageW(hwnd(), kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    run_ = new (std::nothrow) install::InstallationRun(App().model, folders, *this, system_);
    if (run_) result_ = run_->Run();
}

void CStep4::SetLine(int id, const char* text) { SetItemText(id, text); }

void CStep4::SetStatus(const char* text) { SetLine(kStatusLine, text); }

void CStep4::SetTimeLine(const char* text) { SetLine(kTimeLine, text); }

void CStep4::SetBar(int position) {
    SendDlgItemMessageW(hwnd(), kProgressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CStep4::StopAnimation() {
    SendDlgItemMessageW(hwnd(), kAnimation, ACM_PLAY, 0, MAKELPARAM(1000, 1000));
}

bool CStep4::AskOverwrite(const char* question) {
    return App().ShowConfirm(question, text::kOverwrite, text::kCancel) == 0;
}

install::FailureChoice CStep4::AskAfterFailure(const char* path,
                                               const install::WriteFailure& failure) {
    App().report.Failure(path, failure);
    FailureDialog dialog(App().model.appName, path, failure);
    return dialog.Ask(App().mainWindow);
}

void CStep4::FileDone(const char* path, install::FileOutcome outcome) {
    App().report.File(path, outcome);
}

void CStep4::SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) {
    App().report.SizeMismatch(path, decoded, expected);
}

void CStep4::ShowMessage(const char* text) {
    platform::ShowOwnedMessageBox(hwnd(), text, nullptr, MB_OK);
}

uint32_t CStep4::Ticks() { return GetTickCount(); }

void CStep4::KeepAlive() { alive_.Tick(); }

}  // namespace ui

namespace platform {
// The test stub's switch (platform/test_hooks.h); 0 in the shipped program.
uint32_t PauseForTests();
}  // namespace platform

namespace ui {

void CStep4::Pause(uint32_t milliseconds) {
    if (const uint32_t pause = platform::PauseForTests()) milliseconds = pause;
    const DWORD start = GetTickCount();
    for (;;) {
        platform::KeepAlive::Pump();
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - waited,
                                  QS_SENDMESSAGE | QS_PAINT);
    }
}

void CStep4::ShowFinishPage() { Sheet().SetActivePage(kFinishPage); }

}  // namespace ui
