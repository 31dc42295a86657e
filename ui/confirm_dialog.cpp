#include "ui/confirm_dialog.h"

namespace ui {

ConfirmDialog::ConfirmDialog() : Dialog(kTemplate) { BindText(kMessageControl, message); }

bool ConfirmDialog::OnInitDialog() {
    UpdateData(false);
    SendDlgItemMessageW(hwnd(), kIconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SetTitle(caption);
    SetItemText(IDOK, firstText);
    SetItemText(IDCANCEL, secondText);

    // The template leaves the place open; over the middle of its owner (the wizard) is where
    // the user's eyes are.
    RECT box, area;
    GetWindowRect(hwnd(), &box);
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int width = box.right - box.left, height = box.bottom - box.top;
    SetWindowPos(hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(Item(IDOK));
    return false;  // the focus is set: Enter answers with the first button
}

}  // namespace ui
