// The welcome page (dialog 129): eight lines of the package's texts.
#pragma once

#include "ui/wizard_page.h"

namespace ui {

class CStep1 : public WizardPage {
public:
    enum : int { kTemplate = 129, kFirstLine = 1007 };
    CStep1();

    char lines[8][kLineRoom] = {};

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;

private:
    bool firstActivation_ = true;  // the sheet takes the application's name once
};

}  // namespace ui
