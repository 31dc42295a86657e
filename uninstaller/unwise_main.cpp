// unwise.exe: the uninstaller that the installer writes into the install folder, with the
// package's picture, icon and a block of nine items appended behind it. For now it finds that
// block and shows itself; the removal follows the user's OK.
#include <windows.h>

#include "package/uninstaller_block.h"
#include "platform/file.h"
#include "platform/ole.h"
#include "platform/system_library.h"
#include "platform/window_message_box.h"
#include "ui/package_icon.h"
#include "ui/picture_holder.h"
#include "uninstaller/messages.h"
#include "uninstaller/uninstall_dialog.h"

namespace {
// Runs before the static constructors: nothing may load a DLL from the program's own folder
// (the install folder, where anything the application installed lies beside us).
[[gnu::constructor(101)]] void RestrictDllSearchEarly() { platform::HardenDllSearch(); }

// Exit codes: the user's answer, or no usable block.
constexpr int kExitConfirmed = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitNoData = 3;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::HardenDllSearch();

    // Kept as the system gives it (UTF-16): the install folder may have a name GBK cannot hold.
    wchar_t exePath[platform::kPathRoom];
    const DWORD length = GetModuleFileNameW(nullptr, exePath, platform::kPathRoom);
    if (length == 0 || length >= platform::kPathRoom) exePath[0] = L'\0';

    // On the stack: as statics these zeros would be stored in the program, in every installer.
    package::UninstallerBlock block;
    if (package::ReadUninstallerBlock(exePath, &block) != package::UninstallerBlockResult::Loaded) {
        platform::ShowOwnedMessageBox(nullptr, unwise::text::kInitFailed, "", MB_OK);
        return kExitNoData;
    }

    platform::StartOle();
    ui::PictureHolder picture;
    if (block.pictureLength > 0)
        picture.LoadFromFile(exePath, block.pictureLength, block.pictureOffset);
    const HICON icon = ui::LoadSetupIcon(exePath, block.iconLength, block.iconOffset);

    unwise::UninstallDialog dialog(block, picture, icon);
    return dialog.RunModal(nullptr) == IDOK ? kExitConfirmed : kExitCancelled;
}
