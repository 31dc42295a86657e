#include "ui/step5.h"

#include "platform/gbk.h"
#include "ui/messages.h"
#include "ui/setup_app.h"

namespace ui {

CStep5::CStep5() : WizardPage(kTemplate, text::kCancelAboutToFinish) {
    for (int i = 0; i < 3; ++i) BindLine(kFirstLine + i, lines[i]);
}

bool CStep5::OnInitDialog() {
    for (int i = 0; i < 3; ++i) gbk::Copy(lines[i], kLineRoom, PageLine(package::kPageFinish, i));
    UpdateData(false);
    return true;
}

bool CStep5::OnSetActive() {
    using platform::PropertySheet;
    Sheet().SetWizardButtons(PropertySheet::kFinish);
    Sheet().ShowButton(PropertySheet::kCancelButton, false);
    Sheet().ShowButton(PropertySheet::kBackButton, false);
    return true;
}

}  // namespace ui
