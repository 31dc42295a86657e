// The application object: the package's settings and file list, the pictures, the shared
// question box and the background window, for the whole run; and the start-up sequence.
#pragma once

#include <windows.h>

#include "install/run_report.h"
#include "package/setup_model.h"
#include "platform/command_line.h"
#include "platform/picture_holder.h"
#include "ui/background_window.h"
#include "ui/confirm_dialog.h"

namespace ui {

class SetupApp {
public:
    // Records the path of the running executable; nothing else happens before InitInstance.
    SetupApp();
    SetupApp(const SetupApp&) = delete;
    SetupApp& operator=(const SetupApp&) = delete;

    // The whole run, after the options of the command line: load the package, then the wizard
    // (or /S: the installation without windows). Returns the exit code (platform/exit_codes.h).
    int InitInstance();

    enum class Load { Ready, Damaged, Corrupt, Cancelled };
    // Opens the running program once, locked against changes, and reads everything through
    // that handle: the checksum first (a window after a second unless `silent`, whose Cancel
    // gives Cancelled), then the settings, the piece and path checks and the pictures. Corrupt
    // when the checksum fails or a package our packer marked has lost its record; Damaged when
    // the package cannot be found or read, is damaged or hostile (PackageIsWhole).
    Load LoadPackage(bool silent);
    // Whether every piece of the loaded package lies before its settings block (which begins
    // at `settingsOffset`) and every path stays inside its base folder: a damaged or hostile
    // package is refused before the first page, before anything is written.
    bool PackageIsWhole(int64_t settingsOffset);

    // Asks `message` in the shared question box with the two button texts. 0 for the first
    // (default) button, 1 for anything else: the second button, Escape, the close box, or a box
    // that could not be shown.
    int ShowConfirm(const char* message, const char* firstText, const char* secondText);

    // Help requests have no effect.
    void WinHelp() {}

    package::SetupModel model;
    // The running program, open from start-up to the end (model.packageFile).
    platform::RawFile packageFile;
    platform::PictureHolder wizardPicture;
    platform::PictureHolder backgroundPicture;
    ConfirmDialog confirmDialog;
    BackgroundWindow backgroundWindow;
    // The /LOG= report; closed (and silent) without the option.
    install::RunReport report;
    // The wizard sheet's window while it runs: the owner of the question box.
    HWND mainWindow = nullptr;

    // The package's icon (or the program's own), read once and shared by the sheet and the
    // question box; it lives as long as the process.
    HICON PackageIcon();

private:
    int Run(const platform::CommandLine& options);
    HICON packageIcon_ = nullptr;
};

// The one application object.
SetupApp& App();

}  // namespace ui
