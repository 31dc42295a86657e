#include "install/finish_sequence.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "install/shell_links.h"
#include "install/uninstall_entry.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "resources/setup_texts.h"

namespace install {

namespace {

bool FolderFile(const char* folder, const char* name, char* path, size_t room) {
    return gbk::Copy(path, room, folder) &&
           (gbk::EndsWithBackslash(path) || gbk::Append(path, room, "\\")) &&
           gbk::Append(path, room, name);
}

// Puts `text` in place of `path` whole; a failure is told with `message`.
bool SaveWhole(const char* path, platform::WholeFile& file, const platform::TextBuffer& text,
               const char* message, FinishView& view) {
    if (!text.ok()) {
        view.Failed(message, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (file.Finish(text.data(), text.size()) != platform::WholeFile::Result::Saved) {
        view.Failed(message, file.error());
        return false;
    }
    view.Done("written:", path);
    return true;
}

// setup.log with the links made on the way. False when it could not be written whole.
bool WriteLogAndLinks(package::SetupModel& model, const BaseFolders& folders,
                      const char* groupName, const ShortcutChoice& choice, FinishView& view) {
    char path[platform::kPathRoom];
    platform::WholeFile log;
    if (!FolderFile(folders.pageInstallDir, package::kLogName, path, sizeof path) ||
        !log.Begin(path, folders.pageInstallDir)) {
        view.Failed(text::kLogCreateFailed, log.error());
        return false;
    }
    platform::TextBuffer text;
    BeginInstallLog(folders, model, &text);
    ShellShortcuts shell(groupName);
    CreateShortcuts(folders, model, choice, shell, &text);
    return SaveWhole(path, log, text, text::kLogWriteFailed, view);
}

bool WriteWrittenList(const BaseFolders& folders, const char* written, FinishView& view) {
    char path[platform::kPathRoom];
    if (!FolderFile(folders.pageInstallDir, package::kWrittenListName, path, sizeof path))
        return false;
    // An earlier list that cannot be read whole is taken as none: its files then stay when the
    // program is removed, they are never removed by mistake.
    platform::TextBuffer earlier;
    platform::ErrorCode ignored = 0;
    if (!platform::ReadWholeFile(path, package::kRecordLimit, &earlier, &ignored)) earlier.Clear();
    platform::TextBuffer list;
    MergeWrittenList(earlier.data(), earlier.size(), written, &list);
    platform::WholeFile file;
    if (!file.Begin(path, folders.pageInstallDir)) {
        view.Failed(text::kListWriteFailed, file.error());
        return false;
    }
    return SaveWhole(path, file, list, text::kListWriteFailed, view);
}

// The entry in the system's list of installed programs, once the uninstaller has the log and the
// list it reads.
void AddEntry(const package::SetupModel& model, const BaseFolders& folders,
              uint64_t installedBytes, FinishView& view) {
    platform::ErrorCode error = 0;
    if (AddUninstallEntry(model, folders, installedBytes, &error))
        view.Done("registered", kUninstallRoot);
    else
        view.Failed(text::kUninstallEntryFailed, error);
}

void Open(const BaseFolders& folders, const char* setting, FinishView& view) {
    if (!setting[0]) return;
    char path[platform::kPathRoom];
    // Start-up refuses a package whose setting leaves its folder; this is the second line.
    if (!SettingStaysInside(folders, setting) ||
        !ResolveFolderWord(folders, setting, path, sizeof path))
        return;
    const platform::Wide wide(path);
    // As a double click would: whatever happens next is the opened program's business.
    if (wide.ok()) ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOW);
    view.Done("opened:", path);
}

}  // namespace

bool RunFinishSequence(package::SetupModel& model, const BaseFolders& folders,
                       const char* groupName, const FinishChoice& choice, const char* written,
                       uint64_t installedBytes, FinishView& view) {
    // The list first: a log without its list could not tell the files this run wrote from the
    // user's files it kept, and its uninstaller would have to keep them all.
    if (!WriteWrittenList(folders, written, view)) return false;
    const bool listed = WriteLogAndLinks(model, folders, groupName, choice.links, view);
    if (listed) AddEntry(model, folders, installedBytes, view);
    if (choice.readme) Open(folders, model.readmeFile, view);
    if (choice.run) Open(folders, model.runProgram, view);
    return listed;
}

}  // namespace install
