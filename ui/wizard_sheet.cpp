#include "ui/wizard_sheet.h"

#include "resources/setup_texts.h"
#include "ui/setup_app.h"

namespace ui {

CWizardSheet::CWizardSheet() : PropertySheet(text::kSheetCaption, 0), step5(step4) {
    AddPage(&step1);
    AddPage(&step2);
    AddPage(&step3);
    AddPage(&step4);
    AddPage(&step5);
    icon = App().PackageIcon();
}

void CWizardSheet::OnSize() {
    if (!firstSize_ || !hwnd()) return;
    firstSize_ = false;
    App().mainWindow = hwnd();
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_MINIMIZEBOX);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The background covers the whole screen; the wizard must never go under it.
    if (App().model.showBackground)
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace ui
