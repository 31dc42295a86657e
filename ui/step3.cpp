#include "ui/step3.h"

#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "resources/setup_texts.h"
#include "ui/folder_browser.h"
#include "ui/folder_rules.h"
#include "ui/install_folder.h"
#include "ui/setup_app.h"

namespace ui {

CStep3::CStep3() : WizardPage(kTemplate, text::kCancelAboutToStart) {
    char windows[MAX_PATH * 2];
    platform::WindowsFolder(windows, sizeof windows);
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

bool CStep3::OnWizardNext() {
    // Nothing is checked or created while a text of the page is refused.
    if (!UpdateData(true)) return false;
    wchar_t typed[platform::Wide::kRoom];
    const int length = GetWindowTextW(Item(kFolder), typed, platform::Wide::kRoom);
    char chosen[package::kInstallDirRoom];
    const char* refusal = length < static_cast<int>(platform::Wide::kRoom) - 1
                              ? AcceptInstallFolder(typed, App().model.appName, chosen, sizeof chosen)
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
