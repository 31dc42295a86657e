#include "ui/step4.h"

#include <commctrl.h>

#include "platform/gbk.h"
#include "ui/messages.h"
#include "ui/setup_app.h"

namespace ui {

CStep4::CStep4() : WizardPage(kTemplate, text::kCancelInProgress) { BindLine(kLine0, line0); }

CStep4::~CStep4() {
    if (hwnd()) SendDlgItemMessageW(hwnd(), kAnimation, ACM_OPENW, 0, 0);
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

}  // namespace ui
