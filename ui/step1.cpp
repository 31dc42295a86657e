#include "ui/step1.h"

#include "platform/gbk.h"
#include "resources/setup_texts.h"
#include "ui/setup_app.h"

namespace ui {

CStep1::CStep1() : WizardPage(kTemplate, text::kCancelNotStarted) {
    for (int i = 0; i < 8; ++i) BindLine(kFirstLine + i, lines[i]);
}

bool CStep1::OnInitDialog() {
    // Every line is pushed, so an empty line in the package gives an empty line on the page.
    for (int i = 0; i < 8; ++i) gbk::Copy(lines[i], kLineRoom, PageLine(package::kPageWelcome, i));
    UpdateData(false);
    return true;
}

bool CStep1::OnSetActive() {
    using platform::PropertySheet;
    Sheet().SetWizardButtons(PropertySheet::kNext);
    if (firstActivation_) {
        firstActivation_ = false;
        Sheet().SetTitle(App().model.appName);
    }
    Sheet().ShowButton(PropertySheet::kHelpButton, false);
    Sheet().ShowButton(PropertySheet::kBackButton, false);
    return true;
}

}  // namespace ui
