// setup.exe: the installer stub. The packer appends the package behind it.
#include <windows.h>

#include "platform/system_library.h"
#include "ui/setup_app.h"

namespace {
// Runs before the static constructors: nothing may load a DLL from the program's own folder
// (a download folder, where a planted version.dll would be found first).
[[gnu::constructor(101)]] void RestrictDllSearchEarly() { platform::HardenDllSearch(); }
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::HardenDllSearch();
    return ui::App().InitInstance();
}
