#include "ui/install_folder.h"

#include <windows.h>

#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "resources/setup_texts.h"
#include "ui/folder_rules.h"

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

}  // namespace ui
