#include "ui/step2.h"

#include "platform/gbk.h"
#include "resources/setup_texts.h"
#include "ui/setup_app.h"

namespace ui {

CStep2::CStep2() : WizardPage(kTemplate, text::kCancelNotStarted) {
    BindLine(kLine0, line0);
    BindLine(kLine1, line1);
    BindText(kAgreementText, agreementText, kAgreementLimit);
}

bool CStep2::OnInitDialog() {
    gbk::Copy(line0, sizeof line0, PageLine(package::kPageAgreement, 0));
    gbk::Copy(line1, sizeof line1, PageLine(package::kPageAgreement, 1));
    gbk::Copy(agreementText, sizeof agreementText, PageLine(package::kPageAgreement, 2));
    UpdateData(false);
    return true;
}

void CStep2::PostButtons() {
    using platform::PropertySheet;
    Sheet().SetWizardButtons(agreed ? PropertySheet::kBack | PropertySheet::kNext
                                    : PropertySheet::kBack);
}

bool CStep2::OnSetActive() {
    Sheet().SetButtonText(platform::PropertySheet::kNextButton, text::kNextButton);
    PostButtons();
    Sheet().ShowButton(platform::PropertySheet::kBackButton, true);
    SetCheck(kAgree, agreed == 1);
    SetCheck(kDisagree, agreed != 1);
    return true;
}

bool CStep2::OnCommand(int id, int code) {
    if (code != BN_CLICKED || (id != kAgree && id != kDisagree)) return false;
    agreed = id == kAgree ? 1 : 0;
    PostButtons();
    return true;
}

}  // namespace ui
