#include "ui/package_check_window.h"

#include <commctrl.h>

namespace ui {

namespace {
constexpr int kTemplate = 141;
constexpr int kProgressBar = 1001;
}  // namespace

// How long the check runs before the window shows: a package checked within a second never
// flashes a window.
constexpr DWORD kShowAfter = 1000;

PackageCheckWindow::PackageCheckWindow(bool silent)
    : Dialog(kTemplate), silent_(silent), start_(GetTickCount()) {}

PackageCheckWindow::~PackageCheckWindow() {
    if (hwnd()) Destroy();
}

bool PackageCheckWindow::OnInitDialog() {
    SendDlgItemMessageW(hwnd(), kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    return true;
}

bool PackageCheckWindow::OnCommand(int id, int code) {
    (void)code;
    // Cancel and the close box.
    if (id == IDCANCEL) cancelled_ = true;
    return true;
}

bool PackageCheckWindow::Advance(int64_t done, int64_t total) {
    if (silent_) return true;
    const DWORD now = GetTickCount();
    if (!hwnd()) {
        if (now - start_ < kShowAfter || !CreateModeless(nullptr)) return true;
        ShowWindow(hwnd(), SW_SHOW);
    }
    // Drawn at most every 25 ms; every message of the window's own is answered meanwhile.
    if (now - lastDraw_ >= 25 || done == total) {
        lastDraw_ = now;
        const int position = total > 0 ? static_cast<int>(done * 1000 / total) : 1000;
        SendDlgItemMessageW(hwnd(), kProgressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
        // No text is typed here: the dialog's own keys (Escape, Enter, Space) need no
        // translation.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageW(hwnd(), &message)) DispatchMessageW(&message);
    }
    return !cancelled_;
}

}  // namespace ui
