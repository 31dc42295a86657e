// The finish page (dialog 133). Its check boxes and the finishing sequence arrive with the
// installation engine; for now the page shows its texts and takes part in the button plan.
#pragma once

#include "ui/wizard_page.h"

namespace ui {

class CStep5 : public WizardPage {
public:
    enum : int { kTemplate = 133, kFirstLine = 1022 };
    CStep5();

    char lines[3][kLineRoom] = {};

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
};

}  // namespace ui
