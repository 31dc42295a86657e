#include "ui/step3.h"

#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/gbk.h"
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
    int DriveType(const char* drive) const override {
        // The root needs its backslash: "D:" alone names the current folder of drive D.
        char root[8];
        gbk::Copy(root, sizeof root, drive);
        gbk::Append(root, sizeof root, "\\");
        return static_cast<int>(GetDriveTypeW(platform::Wide(root).c_str()));
    }
    bool FolderExists(const char* path) const override { return platform::IsFolder(path); }
};

// Whether a new file can be made in `folder` (ending with its backslash): one is made and
// removed again.
bool CanWriteIn(const char* folder) {
    char name[package::kInstallDirRoom + 16];
    char probe[package::kInstallDirRoom + 32];
    gbk::Copy(name, sizeof name, folder);
    gbk::Append(name, sizeof name, "~sfx-probe");
    platform::RawFile file;
    if (!platform::CreateSibling(name, probe, sizeof probe, &file)) return false;
    file.Close();
    platform::RemoveFile(probe);
    return true;
}
}  // namespace

bool WindowsFolder(char* folder, size_t room) {
    wchar_t wide[MAX_PATH];
    UINT length = GetWindowsDirectoryW(wide, MAX_PATH);
    folder[0] = '\0';
    return length > 0 && length < MAX_PATH && platform::Narrow(wide, folder, room);
}

CStep3::CStep3() : WizardPage(kTemplate, text::kCancelAboutToStart) {
    char windows[MAX_PATH * 2];
    WindowsFolder(windows, sizeof windows);
    DefaultInstallFolder(windows, App().model.appName, folder, sizeof folder);
    for (int i = 0; i < 4; ++i) BindLine(kFirstLine + i, lines[i]);
    BindText(kFolder, folder, kFolderLimit);
}

bool CStep3::OnInitDialog() {
    for (int i = 0; i < 4; ++i) gbk::Copy(lines[i], kLineRoom, PageLine(package::kPageFolder, i));
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
    gbk::Copy(folder, sizeof folder, browser.result);
    UpdateData(false);
}

const char* AcceptInstallFolder(const wchar_t* typed, char* chosen, size_t room) {
    // Every path of the installation is GBK: a typed character that GBK cannot hold would turn
    // into "?" and name a folder that can never be made.
    char folder[platform::kPathRoom];
    char parent[package::kInstallDirRoom];
    if (!platform::FitsGbk(typed) || !platform::Narrow(typed, folder, sizeof folder) ||
        !WithFinalBackslash(folder, chosen, room) || !ParentFolder(chosen, parent, sizeof parent))
        return text::kInvalidFolder;
    const FolderVerdict verdict = CheckParentFolder(parent, MachineProbe());
    if (verdict != FolderVerdict::Pass) return FolderVerdictMessage(verdict);
    // The run needs the folder, and files in it: one that cannot be made (a file of that name
    // is in the way) or written to is refused, rather than a run in which every file fails.
    if ((!platform::CreateFolder(chosen) && !platform::IsFolder(chosen)) || !CanWriteIn(chosen))
        return text::kCannotUseFolder;
    return nullptr;
}

bool CStep3::OnWizardNext() {
    // Nothing is checked or created while a text of the page is refused.
    if (!UpdateData(true)) return false;
    wchar_t typed[platform::Wide::kRoom];
    const int length = GetWindowTextW(Item(kFolder), typed, platform::Wide::kRoom);
    char chosen[package::kInstallDirRoom];
    const char* refusal = length < static_cast<int>(platform::Wide::kRoom) - 1
                              ? AcceptInstallFolder(typed, chosen, sizeof chosen)
                              : text::kInvalidFolder;
    if (refusal) {
        // installDir stays unset: the page keeps the user.
        platform::ShowOwnedMessageBox(hwnd(), refusal, App().model.appName, MB_OK);
        return false;
    }
    gbk::Copy(App().model.installDir, sizeof App().model.installDir, chosen);
    return true;
}

}  // namespace ui
