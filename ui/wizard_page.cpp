#include "ui/wizard_page.h"

#include "platform/gbk.h"
#include "resources/setup_texts.h"
#include "ui/setup_app.h"

namespace ui {

WizardPage::WizardPage(int templateId, const char* cancelQuestion)
    : PropertyPage(templateId), cancelQuestion_(cancelQuestion) {}

bool WizardPage::OnQueryCancel() {
    return App().ShowConfirm(cancelQuestion_, text::kContinueSetup, text::kQuitSetup) != 0;
}

bool WizardPage::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    OnPaint(dc);
    EndPaint(hwnd(), &paint);
    *result = TRUE;
    return true;
}

void WizardPage::OnPaint(HDC dc) {
    App().wizardPicture.Draw(dc, 0, 0, kSidePictureWidth, kSidePictureHeight);
}

void WizardPage::BindLine(int id, char (&value)[kLineRoom]) { BindText(id, value, kLineLimit); }

const char* WizardPage::PageLine(int page, int line) {
    return App().model.pageTexts[page].Line(line);
}

}  // namespace ui
