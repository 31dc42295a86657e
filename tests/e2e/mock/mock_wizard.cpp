// A two-page wizard standing in for the installer, so that the driver and the runner can be
// proven on their own: texts, hidden and disabled buttons, a check box, an edit box, a refused
// Next with its message box, and a cancel question.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "tests/e2e/mock/mock_wizard.h"

namespace {

const wchar_t kTitle[] = L"模拟向导";

void Post(HWND page, LPARAM buttons) {
    PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

INT_PTR CALLBACK Page(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return FALSE;
    HWND sheet = GetParent(page);
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE: {
            bool first = GetDlgItem(page, kMockWelcome) != nullptr;
            Post(page, first ? PSWIZB_NEXT : PSWIZB_BACK | PSWIZB_FINISH);
            ShowWindow(GetDlgItem(sheet, 0x3023), first ? SW_HIDE : SW_SHOW);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        case PSN_WIZNEXT:
            if (IsDlgButtonChecked(page, kMockAgree) != BST_CHECKED) {
                MessageBoxW(page, L"请先同意", kTitle, MB_OK);
                SetWindowLongPtrW(page, DWLP_MSGRESULT, -1);
                return TRUE;
            }
            return FALSE;
        case PSN_QUERYCANCEL: {
            bool stay = MessageBoxW(sheet, L"真的要退出吗?", kTitle, MB_YESNO) != IDYES;
            SetWindowLongPtrW(page, DWLP_MSGRESULT, stay);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command, int) {
    if (lstrcmpW(command, L"nopackage") == 0) {
        MessageBoxW(nullptr, L"初始化数据失败!", L"", MB_OK);
        return 0;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    PROPSHEETPAGEW pages[2] = {};
    HPROPSHEETPAGE handles[2];
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kMockPage1 + i);
        pages[i].pfnDlgProc = Page;
        pages[i].pszTitle = kTitle;
        handles[i] = CreatePropertySheetPageW(&pages[i]);
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD;
    header.hInstance = instance;
    header.pszCaption = kTitle;
    header.nPages = 2;
    header.phpage = handles;
    PropertySheetW(&header);
    return 0;
}
