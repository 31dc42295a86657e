#include "ui/background_window.h"

#include "platform/picture_holder.h"

namespace ui {

BackgroundWindow::BackgroundWindow() : Dialog(kTemplate) {}

bool BackgroundWindow::OnInitDialog() {
    if (!keepCaption)
        SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~WS_CAPTION);
    // The template puts the window at the screen's corner; only its size changes.
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_NOMOVE | SWP_FRAMECHANGED);
    brush = CreateSolidBrush(color);
    SetTitle(caption);
    return true;
}

bool BackgroundWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd(), &paint);
            RECT area;
            GetWindowRect(hwnd(), &area);
            if (picture)
                picture->Draw(dc, area.left, area.top, area.right - area.left,
                              area.bottom - area.top);
            EndPaint(hwnd(), &paint);
            *result = TRUE;
            return true;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: *result = reinterpret_cast<INT_PTR>(brush); return brush != nullptr;
        case WM_MOUSEACTIVATE:
            // A click on the background neither raises it nor reaches it.
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, MA_NOACTIVATEANDEAT);
            *result = TRUE;
            return true;
        case WM_SYSCOMMAND:
        case WM_CLOSE: *result = TRUE; return true;
        default:
            if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
                (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK)) {
                *result = TRUE;
                return true;
            }
            return false;
    }
}

}  // namespace ui
