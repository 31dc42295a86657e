#include "ui/step5.h"

#include "install/finish_sequence.h"
#include "platform/gbk.h"
#include "resources/setup_texts.h"
#include "ui/failure_dialog.h"
#include "ui/setup_app.h"
#include "ui/step4.h"

namespace ui {

namespace {

// Failures in a box over the page; the report, when there is one, gets everything.
class BoxView : public install::FinishView {
public:
    explicit BoxView(HWND owner) : owner_(owner) {}
    void Failed(const char* message, platform::ErrorCode error) override {
        App().report.Line("failed:", message, error);
        ShowFailureBox(owner_, message, error);
    }
    void Done(const char* what, const char* path) override { App().report.Line(what, path); }

private:
    HWND owner_;
};

}  // namespace

CStep5::CStep5(const CStep4& progress)
    : WizardPage(kTemplate, text::kCancelAboutToFinish), progress_(progress) {
    for (int i = 0; i < 3; ++i) BindLine(kFirstLine + i, lines[i]);
    BindCheck(kDesktopBox, &wantDesktop);
    BindCheck(kProgramGroupBox, &wantProgramGroup);
    BindCheck(kStartMenuBox, &wantStartMenu);
    BindCheck(kReadmeBox, &wantReadme);
    BindCheck(kRunBox, &wantRun);
}

bool CStep5::OnInitDialog() {
    for (int i = 0; i < 3; ++i) gbk::Copy(lines[i], kLineRoom, PageLine(package::kPageFinish, i));
    UpdateData(false);
    package::SetupModel& model = App().model;
    int32_t offered = 0;
    for (int32_t i = 0; i < model.fileList.count; ++i) {
        model.fileList.SeekTo(i);
        if (const package::FileEntry* entry = model.fileList.Current())
            offered |= entry->shortcutFlags;
    }
    // A disabled box keeps its value: the program group stays checked and makes nothing.
    EnableItem(kDesktopBox, offered & package::kShortcutDesktop);
    EnableItem(kStartMenuBox, offered & package::kShortcutStartMenu);
    EnableItem(kProgramGroupBox, offered & package::kShortcutProgramGroup);
    if (!model.readmeFile[0]) ShowItem(kReadmeBox, false);
    if (!model.runProgram[0]) ShowItem(kRunBox, false);
    return true;
}

bool CStep5::OnSetActive() {
    using platform::PropertySheet;
    Sheet().SetWizardButtons(PropertySheet::kFinish);
    Sheet().ShowButton(PropertySheet::kCancelButton, false);
    Sheet().ShowButton(PropertySheet::kBackButton, false);
    return true;
}

void CStep5::OnPaint(HDC dc) {
    WizardPage::OnPaint(dc);
    TakeFolders();
}

void CStep5::TakeFolders() {
    if (!firstPaint_) return;
    firstPaint_ = false;
    install::FillBaseFolders(App().model.installDir, &folders);
    gbk::Copy(groupName, sizeof groupName, App().model.appName);
}

bool CStep5::OnWizardFinish() {
    // The boxes alone: the text lines are the package's and not the user's to change, so a line
    // longer than the page takes must not keep the user's choices from counting.
    wantDesktop = IsChecked(kDesktopBox);
    wantProgramGroup = IsChecked(kProgramGroupBox);
    wantStartMenu = IsChecked(kStartMenuBox);
    wantReadme = IsChecked(kReadmeBox);
    wantRun = IsChecked(kRunBox);
    // Finish before the first paint comes only from a message sent by another program.
    TakeFolders();

    install::FinishChoice choice;
    choice.links.desktop = wantDesktop;
    choice.links.startMenu = wantStartMenu;
    choice.links.programGroup = wantProgramGroup;
    choice.readme = wantReadme;
    choice.run = wantRun;
    const install::WrittenFiles* written = progress_.written();
    BoxView view(hwnd());
    finishPressed = true;
    recordsWritten =
        install::RunFinishSequence(App().model, folders, groupName, choice,
                                   written ? written->text() : "",
                                   written ? written->bytes() : 0, view);
    return true;
}

}  // namespace ui
