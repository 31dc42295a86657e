#include "ui/step5.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdlib>

#include "install/install_log.h"
#include "install/shell_links.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "ui/failure_dialog.h"
#include "ui/messages.h"
#include "ui/setup_app.h"
#include "ui/step4.h"

namespace ui {

namespace {

// An earlier list of this folder, whole, or nothing: a list that cannot be read is taken as
// none (its files then stay when the program is removed, they are never removed by mistake).
char* ReadWholeFile(const char* path, size_t* size) {
    *size = 0;
    platform::RawFile file;
    if (!file.OpenRead(path)) return nullptr;
    const int64_t length = file.Length();
    // A list of a million files is some 100 MB; anything beyond is not ours.
    if (length <= 0 || length > 256 * 1024 * 1024) return nullptr;
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
    if (text && file.Read(text, static_cast<size_t>(length)) != static_cast<size_t>(length)) {
        std::free(text);
        return nullptr;
    }
    if (text) *size = static_cast<size_t>(length);
    return text;
}

// `message`, then the system's reason for `error` on a line of its own.
void ShowFailure(HWND owner, const char* message, platform::ErrorCode error) {
    gbk::Text<1024> text;
    text.Assign(message);
    wchar_t reason[512];
    SystemReason(error, reason, 512);
    char narrow[1024];
    if (reason[0] && platform::Narrow(reason, narrow, sizeof narrow)) {
        text.Append("\n\n");
        text.Append(narrow);
    }
    platform::ShowOwnedMessageBox(owner, text.c_str(), nullptr, MB_OK);
}

bool FolderFile(const char* folder, const char* name, char* path, size_t room) {
    return gbk::Copy(path, room, folder) &&
           (gbk::EndsWithBackslash(path) || gbk::Append(path, room, "\\")) &&
           gbk::Append(path, room, name);
}

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
    FillBaseFolders(&folders);
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

    if (WriteLogAndLinks()) {
        WriteWrittenList();
        if (wantReadme) Open(App().model.readmeFile);
        if (wantRun) Open(App().model.runProgram);
    }
    return true;
}

bool CStep5::WriteLogAndLinks() {
    package::SetupModel& model = App().model;
    char path[platform::kPathRoom];
    install::WholeFile log;
    if (!FolderFile(folders.pageInstallDir, install::kLogName, path, sizeof path) ||
        !log.Begin(path)) {
        platform::ShowOwnedMessageBox(hwnd(), text::kLogCreateFailed, nullptr, MB_OK);
        return false;
    }
    install::TextBuilder text;
    install::BeginInstallLog(folders, model, &text);
    install::ShortcutChoice choice;
    choice.desktop = wantDesktop;
    choice.startMenu = wantStartMenu;
    choice.programGroup = wantProgramGroup;
    install::ShellShortcuts shell(groupName);
    install::CreateShortcuts(folders, model, choice, shell, &text);
    if (!text.ok()) {
        ShowFailure(hwnd(), text::kLogWriteFailed, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (log.Finish(text.text(), text.size()) != install::WholeFile::Result::Saved) {
        ShowFailure(hwnd(), text::kLogWriteFailed, log.error());
        return false;
    }
    return true;
}

void CStep5::WriteWrittenList() {
    char path[platform::kPathRoom];
    if (!FolderFile(folders.pageInstallDir, install::kWrittenListName, path, sizeof path)) return;
    size_t earlierSize = 0;
    char* earlier = ReadWholeFile(path, &earlierSize);
    install::TextBuilder list;
    const install::WrittenFiles* written = progress_.written();
    install::MergeWrittenList(earlier ? earlier : "", earlierSize, written ? written->text() : "",
                              &list);
    std::free(earlier);
    install::WholeFile file;
    if (!list.ok()) {
        ShowFailure(hwnd(), text::kListWriteFailed, ERROR_NOT_ENOUGH_MEMORY);
    } else if (!file.Begin(path)) {
        ShowFailure(hwnd(), text::kListWriteFailed, file.error());
    } else if (file.Finish(list.text(), list.size()) != install::WholeFile::Result::Saved) {
        ShowFailure(hwnd(), text::kListWriteFailed, file.error());
    }
}

void CStep5::Open(const char* setting) {
    if (!setting[0]) return;
    char path[platform::kPathRoom];
    if (!install::ResolveFolderWord(folders, setting, path, sizeof path)) return;
    const platform::Wide wide(path);
    if (wide.ok()) ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace ui
