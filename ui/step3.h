// The folder page (dialog 131): the destination folder, proposed under Program Files, chosen by
// typing or through the folder dialog, checked, created and handed to the installation.
#pragma once

#include <string>

#include "ui/wizard_page.h"

namespace ui {

class CStep3 : public WizardPage {
public:
    enum : int {
        kTemplate = 131,
        kFirstLine = 1017,
        kFolder = 1000,
        kBrowse = 1005,
        kFolderLimit = 255
    };
    CStep3();

    std::string lines[4];
    std::string folder;

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnWizardNext() override;
    bool OnCommand(int id, int code) override;

private:
    void Browse();
};

// Checks the parent of the chosen folder; a refusal is shown in a box owned by `owner` with
// `caption`. True when the folder may be created.
bool ValidateParentFolder(const std::string& parent, const std::string& caption, HWND owner);

// The Windows folder, as the platform reports it.
std::string WindowsFolder();

}  // namespace ui
