// The progress page (dialog 132). The installation that runs on its first paint arrives with
// the installation engine; for now the page shows its text and the copy animation.
#pragma once

#include "ui/wizard_page.h"

namespace ui {

class CStep4 : public WizardPage {
public:
    enum : int {
        kTemplate = 132,
        kTimeLine = 1026,
        kProgressBar = 1002,
        kStatusLine = 1025,
        kAnimation = 1004,
        kLine0 = 1021,
        kClip = 131
    };
    CStep4();
    ~CStep4() override;

    char line0[kLineRoom] = {};

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
};

}  // namespace ui
