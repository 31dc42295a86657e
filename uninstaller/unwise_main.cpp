// unwise.exe: the uninstaller that the installer writes into the install folder, with the
// package's picture, icon and a block of nine items appended behind it. It reads its block,
// setup.log and setup.lst beside it, asks, removes what the installation wrote, says what stayed
// and, when everything went, removes itself (self_removal.h).
#include <windows.h>

#include "platform/command_line.h"
#include "platform/exit_codes.h"
#include "platform/file.h"
#include "platform/icon.h"
#include "platform/ole.h"
#include "platform/picture_holder.h"
#include "platform/system_library.h"
#include "platform/window_message_box.h"
#include "uninstaller/messages.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/summary.h"
#include "uninstaller/uninstall_dialog.h"
#include "uninstaller/uninstallation.h"

namespace {
// Runs before the static constructors: nothing may load a DLL from the program's own folder
// (the install folder, where anything the application installed lies beside us, or the
// temporary folder, where the copy that removes unwise.exe runs).
[[gnu::constructor(101)]] void RestrictDllSearchEarly() { platform::HardenDllSearch(); }

const char* StartMessage(unwise::Uninstallation::Start start) {
    using Start = unwise::Uninstallation::Start;
    switch (start) {
        case Start::FolderRefused: return unwise::text::kFolderRefused;
        case Start::LogMissing: return unwise::text::kLogMissing;
        case Start::LogDamaged: return unwise::text::kLogDamaged;
        case Start::ListDamaged: return unwise::text::kListDamaged;
        default: return unwise::text::kInitFailed;
    }
}
// /S: the removal with nothing shown.
class QuietView : public unwise::UninstallView {
public:
    void ShowCurrent(const char*) override {}
    void KeepAlive() override {}
};
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::HardenDllSearch();
    int removerCode = 0;
    if (unwise::RunAsRemover(&removerCode)) return removerCode;
    platform::CommandLine options;
    platform::ParseUninstallCommandLine(GetCommandLineW(), &options);
    if (!options.ok() || options.help) {
        // Under /S no window may appear, not even this one.
        if (!options.silent)
            platform::ShowOwnedMessageBox(nullptr, unwise::text::kUsage, "unwise", MB_OK);
        return platform::kExitBadCommandLine;
    }

    // Kept as the system gives it (UTF-16): the install folder may have a name GBK cannot hold.
    wchar_t exePath[platform::kPathRoom];
    const DWORD length = GetModuleFileNameW(nullptr, exePath, platform::kPathRoom);
    if (length == 0 || length >= platform::kPathRoom) exePath[0] = L'\0';

    // On the stack: as statics these zeros would be stored in the program, in every installer.
    unwise::Uninstallation work(exePath);
    const unwise::Uninstallation::Start start = work.Prepare();
    if (start != unwise::Uninstallation::Start::Ready && options.silent)
        return platform::kExitDamaged;
    if (options.silent) {
        // The shell's link object, which tells where a link points, needs it.
        platform::StartOle();
        QuietView quiet;
        work.Remove(quiet);
        if (!work.done()) return platform::kExitIncomplete;
        unwise::RemoveSelfAfterExit(exePath);
        return platform::kExitDone;
    }
    if (start != unwise::Uninstallation::Start::Ready) {
        // Nothing is removed: the block, the log or the list cannot be trusted.
        const char* caption =
            start == unwise::Uninstallation::Start::NoBlock ? "" : work.block().appName;
        platform::ShowOwnedMessageBox(
            nullptr, StartMessage(start), caption,
            MB_OK | (start == unwise::Uninstallation::Start::NoBlock ? 0 : MB_ICONEXCLAMATION));
        return platform::kExitDamaged;
    }

    platform::StartOle();
    platform::PictureHolder picture;
    const package::UninstallerBlock& block = work.block();
    if (block.pictureLength > 0)
        picture.LoadFromFile(exePath, block.pictureLength, block.pictureOffset);
    const HICON icon = platform::LoadSetupIcon(exePath, block.iconLength, block.iconOffset);

    unwise::UninstallDialog dialog(work, picture, icon);
    if (dialog.Run() != IDOK) return platform::kExitCancelled;
    // Something meant to go stayed.
    if (!work.done()) return platform::kExitIncomplete;
    unwise::RemoveSelfAfterExit(exePath);
    return platform::kExitDone;
}
