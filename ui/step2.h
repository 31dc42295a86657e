// The agreement page (dialog 130): two lines, the agreement text, and the choice between
// "我同意" and "我不同意"; Next is enabled only while the user agrees.
#pragma once

#include "ui/wizard_page.h"

namespace ui {

class CStep2 : public WizardPage {
public:
    enum : int {
        kTemplate = 130,
        kLine0 = 1015,
        kLine1 = 1016,
        kAgreementText = 1006,
        kAgree = 1001,
        kDisagree = 1002,
        kAgreementLimit = static_cast<int>(package::kAgreementBoxCheck)
    };
    CStep2();

    int agreed = 0;
    char line0[kLineRoom] = {};
    char line1[kLineRoom] = {};
    char agreementText[package::kLongLineRoom + 1] = {};

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int id, int code) override;

private:
    void PostButtons();
};

}  // namespace ui
