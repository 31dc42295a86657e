// The finish page (dialog 133): three lines of the package and five boxes for what happens on
// Finish: the links, the readme, the program. Its Finish writes setup.log and the list of
// written files, makes the links, then opens the readme and starts the program.
#pragma once

#include "install/path_rules.h"
#include "ui/wizard_page.h"

namespace ui {

class CStep4;

class CStep5 : public WizardPage {
public:
    enum : int {
        kTemplate = 133,
        kFirstLine = 1022,
        kDesktopBox = 1003,
        kProgramGroupBox = 1004,
        kStartMenuBox = 1005,
        kReadmeBox = 1006,
        kRunBox = 1007
    };
    // `progress` is the page whose run wrote the files.
    explicit CStep5(const CStep4& progress);

    char lines[3][kLineRoom] = {};
    install::BaseFolders folders;  // windowsDir, systemDir, pageInstallDir: on the first paint
    char groupName[package::kNameRoom + 1] = {};

    int wantDesktop = 0;
    int wantProgramGroup = 1;
    int wantStartMenu = 0;
    int wantReadme = 0;
    int wantRun = 0;

    // Finish was pressed, and whether it wrote setup.log and setup.lst whole.
    bool finishPressed = false;
    bool recordsWritten = false;

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnPaint(HDC dc) override;
    bool OnWizardFinish() override;

private:
    // The folders and the group's name, once: on the first paint.
    void TakeFolders();

    const CStep4& progress_;
    bool firstPaint_ = true;
};

}  // namespace ui
