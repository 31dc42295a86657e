#include "ui/install_folder.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "package/install_records.h"
#include "package/limits.h"
#include "package/setup_model.h"
#include "package/uninstaller_block.h"
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

// Null when the folder holds no uninstaller or that of `appName` (an update); otherwise the
// message naming the application it belongs to. Installing into it would merge the two
// installations' records and replace the other's uninstaller.
const char* OtherApplication(const char* folder, const char* appName) {
    // On the heap: a static buffer's zeros would be stored in every package.
    constexpr size_t kRoom = sizeof text::kOtherApplicationBefore + package::kNameRoom +
                             sizeof text::kOtherApplicationAfter;
    static char* const message = new (std::nothrow) char[kRoom];
    char path[platform::kPathRoom];
    char owner[package::kNameRoom + 1];
    if (!gbk::Copy(path, sizeof path, folder) ||
        !gbk::Append(path, sizeof path, package::kUninstallerName) || !platform::PathExists(path))
        return nullptr;
    if (!package::ReadUninstallerAppName(platform::Wide(path).c_str(), owner, sizeof owner))
        gbk::Copy(owner, sizeof owner, package::kUninstallerName);
    else if (std::strcmp(owner, appName) == 0)
        return nullptr;
    if (!message) return text::kCannotUseFolder;
    gbk::Copy(message, kRoom, text::kOtherApplicationBefore);
    gbk::Append(message, kRoom, owner);
    gbk::Append(message, kRoom, text::kOtherApplicationAfter);
    return message;
}
}  // namespace

const char* AcceptInstallFolder(const wchar_t* typed, const char* appName, char* chosen,
                                size_t room) {
    // Every path of the installation is GBK: a typed character that GBK cannot hold would turn
    // into "?" and name a folder that can never be made.
    char folder[platform::kPathRoom];
    char parent[package::kInstallDirRoom];
    if (!platform::ExactGbk(typed, folder, sizeof folder) || HasDroppedEnding(folder))
        return text::kInvalidFolder;
    // One spelling for the records, the uninstall entry and the links, as Windows names the
    // folder: "C:\Windows\..\Apps\X" is C:\Apps\X, a short name is made long. A path that is
    // not rooted is left to the checks below, which refuse it.
    wchar_t canonical[platform::kPathRoom];
    if (IsRootedPath(folder)) {
        if (!platform::FullLongPath(typed, canonical, platform::kPathRoom) ||
            !platform::ExactGbk(canonical, folder, sizeof folder))
            return text::kInvalidFolder;
    }
    // A drive's root has no parent: refused as no drive at all.
    if (!WithFinalBackslash(folder, chosen, room) || !ParentFolder(chosen, parent, sizeof parent))
        return text::kInvalidFolder;
    const FolderVerdict verdict = CheckParentFolder(parent, MachineProbe());
    if (verdict != FolderVerdict::Pass) return FolderVerdictMessage(verdict);
    if (const char* other = OtherApplication(chosen, appName)) return other;
    // The run needs the folder, and files in it: one that cannot be made (a file of that name
    // is in the way) or written to is refused, rather than a run in which every file fails.
    if ((!platform::CreateFolder(chosen) && !platform::IsFolder(chosen)) || !CanWriteIn(chosen))
        return text::kCannotUseFolder;
    return nullptr;
}

}  // namespace ui
