#include "uninstaller/uninstall_dialog.h"

#include <cstdlib>

#include "platform/text_win32.h"
#include "uninstaller/summary.h"

namespace unwise {

UninstallDialog::UninstallDialog(Uninstallation& work, const platform::PictureHolder& picture,
                                 HICON icon)
    : Dialog(kDialogId), work_(work), picture_(picture), icon_(icon) {}

bool UninstallDialog::OnInitDialog() {
    SetTitle(work_.block().appName);
    SetItemText(kQuestionId, UninstallerText(work_.block(), 2));
    if (icon_) {
        SendMessageW(Item(kIconId), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    return true;
}

bool UninstallDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED || (id != IDOK && id != IDCANCEL)) return false;
    switch (state_) {
        case State::Asking:
            if (id == IDOK)
                RunRemoval();
            else
                End(IDCANCEL);
            break;
        case State::Removing: break;  // nothing stops a removal half-way
        case State::Finished: End(IDOK); break;
    }
    return true;
}

void UninstallDialog::RunRemoval() {
    state_ = State::Removing;
    SetItemText(kQuestionId, UninstallerText(work_.block(), 1));
    EnableItem(IDOK, false);
    ShowWindow(Item(IDCANCEL), SW_HIDE);
    SetItemText(kItemId, "");
    ShowWindow(Item(kItemId), SW_SHOW);
    UpdateWindow(hwnd());
    work_.Remove(*this);
    // Presses made while it ran were meant for the question, not for the end.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    ShowEnd();
}

void UninstallDialog::ShowEnd() {
    state_ = State::Finished;
    ShowWindow(Item(kItemId), SW_HIDE);
    SetItemText(kQuestionId, UninstallerText(work_.block(), work_.done() ? 3 : 0));
    platform::TextBuffer summary;
    if (work_.Summary(&summary) && summary.size() > 0) {
        // Longer than any one path: converted whole for the edit control.
        const int length =
            MultiByteToWideChar(platform::kGbkCodePage, 0, summary.data(), -1, nullptr, 0);
        wchar_t* wide =
            length > 0 ? static_cast<wchar_t*>(std::malloc(length * sizeof(wchar_t))) : nullptr;
        if (wide &&
            MultiByteToWideChar(platform::kGbkCodePage, 0, summary.data(), -1, wide, length) > 0)
            SetDlgItemTextW(hwnd(), kSummaryId, wide);
        std::free(wide);
        ShowWindow(Item(kSummaryId), SW_SHOW);
    }
    // The one button left takes the place of the two.
    RECT cancel;
    GetWindowRect(Item(IDCANCEL), &cancel);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&cancel), 2);
    SetWindowPos(Item(IDOK), nullptr, cancel.left, cancel.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnableItem(IDOK, true);
    SetFocus(Item(IDOK));
    SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
}

void UninstallDialog::ShowCurrent(const char* text) { SetItemText(kItemId, text); }

void UninstallDialog::KeepAlive() { alive_.Tick(); }

bool UninstallDialog::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    // The picture fills the area the template keeps for it, at any font size and DPI.
    RECT area;
    GetWindowRect(Item(kPictureAreaId), &area);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
    picture_.Draw(dc, area.left, area.top, area.right - area.left, area.bottom - area.top);
    EndPaint(hwnd(), &paint);
    *result = TRUE;
    return true;
}

}  // namespace unwise
