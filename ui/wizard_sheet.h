// The wizard: the five pages in their fixed order in one modal sheet, with the package's icon,
// a minimize box, and above the background window when there is one.
#pragma once

#include <windows.h>

#include "platform/property_sheet.h"
#include "ui/step1.h"
#include "ui/step2.h"
#include "ui/step3.h"
#include "ui/step4.h"
#include "ui/step5.h"

namespace ui {

class CWizardSheet : public platform::PropertySheet {
public:
    CWizardSheet();

    CStep1 step1;
    CStep2 step2;
    CStep3 step3;
    CStep4 step4;
    CStep5 step5;
    HICON icon = nullptr;  // lives as long as the process

protected:
    void OnSize() override;

private:
    bool firstSize_ = true;
};

}  // namespace ui
