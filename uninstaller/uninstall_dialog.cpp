#include "uninstaller/uninstall_dialog.h"

#include "uninstaller/messages.h"

namespace unwise {

UninstallDialog::UninstallDialog(const package::UninstallerBlock& block,
                                 const ui::PictureHolder& picture, HICON icon)
    : Dialog(kDialogId), block_(block), picture_(picture), icon_(icon) {}

bool UninstallDialog::OnInitDialog() {
    SetTitle(block_.appName);
    // The installer passes the publisher's question on as the third text.
    const char* question = block_.texts[2];
    SetItemText(kQuestionId, *question ? question : text::kRemoveQuestion);
    if (icon_) {
        SendMessageW(Item(kIconId), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    return true;
}

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
