// The folder page (dialog 131): the destination folder, proposed under Program Files, chosen by
// typing or through the folder dialog, checked, created and handed to the installation.
#pragma once

#include "platform/file.h"
#include "ui/wizard_page.h"

namespace ui {

class CStep3 : public WizardPage {
public:
    enum : int {
        kTemplate = 131,
        kFirstLine = 1017,
        kFolder = 1000,
        kBrowse = 1005,
        kFolderLimit = static_cast<int>(package::kFolderLimit)
    };
    CStep3();

    char lines[4][kLineRoom] = {};
    // Larger than the box's limit: a deeper folder from the folder dialog is shown whole and
    // then refused with the length message, never cut into another folder.
    char folder[platform::kPathRoom] = {};

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnWizardNext() override;
    bool OnCommand(int id, int code) override;

private:
    void Browse();
};

}  // namespace ui
