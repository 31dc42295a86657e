#include "ui/step3.h"

#include "platform/file.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "ui/folder_browser.h"
#include "ui/folder_rules.h"
#include "ui/messages.h"
#include "ui/setup_app.h"

namespace ui {

namespace {
class MachineProbe : public FolderProbe {
public:
    int DriveType(const std::string& drive) const override {
        // The root needs its backslash: "D:" alone names the current folder of drive D.
        return static_cast<int>(GetDriveTypeW(platform::Widen(drive + "\\").c_str()));
    }
    bool FolderExists(const std::string& path) const override { return platform::IsFolder(path); }
};

// True when the control's text survives the trip to GBK and back.
bool FitsGbk(HWND control) {
    int length = GetWindowTextLengthW(control);
    std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
    typed.resize(static_cast<size_t>(GetWindowTextW(control, &typed[0], length + 1)));
    return platform::Widen(platform::Narrow(typed)) == typed;
}
}  // namespace

std::string WindowsFolder() {
    wchar_t folder[MAX_PATH];
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return platform::Narrow(std::wstring(folder, length));
}

bool ValidateParentFolder(const std::string& parent, const std::string& caption, HWND owner) {
    FolderVerdict verdict = CheckParentFolder(parent, MachineProbe());
    if (verdict == FolderVerdict::Pass) return true;
    platform::ShowOwnedMessageBox(owner, FolderVerdictMessage(verdict), caption.c_str(), MB_OK);
    return false;
}

CStep3::CStep3()
    : WizardPage(kTemplate, text::kCancelAboutToStart),
      folder(DefaultInstallFolder(WindowsFolder(), App().model.appName)) {
    for (int i = 0; i < 4; ++i) BindLine(kFirstLine + i, &lines[i]);
    BindText(kFolder, &folder, kFolderLimit);
}

bool CStep3::OnInitDialog() {
    for (int i = 0; i < 4; ++i) lines[i] = PageLine(package::kPageFolder, i);
    UpdateData(false);
    return true;
}

bool CStep3::OnSetActive() {
    using platform::PropertySheet;
    Sheet().SetButtonText(PropertySheet::kNextButton, text::kInstallButton);
    Sheet().SetWizardButtons(PropertySheet::kBack | PropertySheet::kNext);
    return true;
}

bool CStep3::OnCommand(int id, int code) {
    if (id != kBrowse || code != BN_CLICKED) return false;
    Browse();
    return true;
}

void CStep3::Browse() {
    // A line over its limit stops here as it would on leaving the page.
    if (!UpdateData(true)) return;
    FolderBrowser browser;
    browser.caption = App().model.appName;
    browser.prompt = text::kChooseFolderPrompt;
    browser.initialFolder = folder;
    if (browser.Run(hwnd()) != 1) return;
    folder = browser.result;
    UpdateData(false);
}

bool CStep3::OnWizardNext() {
    // Nothing is checked or created while a text of the page is refused.
    if (!UpdateData(true)) return false;
    // Every path of the installation is GBK: a typed character that GBK cannot hold would turn
    // into "?" and name a folder that can never be made.
    if (!FitsGbk(Item(kFolder))) {
        platform::ShowOwnedMessageBox(hwnd(), text::kInvalidFolder, App().model.appName, MB_OK);
        return false;
    }
    std::string chosen = WithFinalBackslash(folder);
    if (!ValidateParentFolder(ParentFolder(chosen), App().model.appName, hwnd())) return false;
    // Best effort: an existing folder is fine, and a failure shows when files are copied.
    platform::CreateFolder(chosen);
    App().model.installDir = chosen;
    return true;
}

}  // namespace ui
