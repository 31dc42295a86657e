#include "ui/setup_app.h"

#include "install/package_pieces.h"
#include "install/path_rules.h"
#include "package/package_sum.h"
#include "package/settings_loader.h"
#include "platform/exit_codes.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/icon.h"
#include "platform/ole.h"
#include "platform/property_sheet.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "resources/setup_texts.h"
#include "ui/package_check_window.h"
#include "ui/silent_install.h"
#include "ui/step3.h"
#include "ui/wizard_sheet.h"

namespace ui {

namespace {
// Made before the program's main routine like any static object, but on the heap: as a static
// object its zero-filled settings would be stored in the executable, 13 KB of every package.
SetupApp* const theApp = new SetupApp;
}  // namespace

SetupApp& App() { return *theApp; }

SetupApp::SetupApp() {
    // Kept as the system gives it: the folder it was downloaded to may have a name that GBK
    // cannot hold. A path cut short stays empty, and the package then cannot be found.
    DWORD length = GetModuleFileNameW(nullptr, model.exePath, platform::kPathRoom);
    if (length == 0 || length >= platform::kPathRoom) model.exePath[0] = L'\0';
}

SetupApp::Load SetupApp::LoadPackage(bool silent) {
    // Locked, so that what is checked here is what the run installs: a program of the user's
    // cannot put another file under this name while we run.
    if (!packageFile.OpenReadLocked(model.exePath)) return Load::Damaged;
    model.packageFile = &packageFile;
    package::PackageTrailer trailer;
    if (!package::ReadTrailer(packageFile, &trailer)) return Load::Damaged;
    package::ReadChecksumRecord(&trailer);
    // The checksum comes first: a damaged download says so, whatever else it breaks.
    using State = package::ChecksumRecord::State;
    if (trailer.checksum.state == State::Damaged) return Load::Corrupt;
    if (trailer.checksum.state == State::Present) {
        PackageCheckWindow window(silent);
        switch (package::CheckPackageSum(packageFile, trailer.checksum, &window)) {
            case package::SumResult::Match: break;
            case package::SumResult::Cancelled: return Load::Cancelled;
            default: return Load::Corrupt;
        }
    }
    if (package::LoadSettings(packageFile, &model, &trailer) != package::LoadResult::Loaded)
        return Load::Damaged;
    if (model.checksumMarked && trailer.checksum.state != State::Present) return Load::Corrupt;
    if (!PackageIsWhole(trailer.offset)) return Load::Damaged;
    if (model.pictureLength > 0)
        wizardPicture.LoadFromFile(packageFile, model.pictureLength, model.pictureOffset);
    else
        wizardPicture.LoadFromResource(130, "PIC");
    if (model.showBackground == 1 && model.backgroundPictureLength > 0)
        backgroundPicture.LoadFromFile(packageFile, model.backgroundPictureLength,
                                       model.backgroundPictureOffset);
    return Load::Ready;
}

bool SetupApp::PackageIsWhole(int64_t settingsOffset) {
    // A damaged download: a piece missing or cut short would install half-empty files.
    if (!install::CheckPackagePieces(model, settingsOffset, packageFile).ok()) return false;
    // A hostile one: a path that leaves its base folder. The install folder is not chosen yet;
    // a path that never leaves the stand-in never leaves any folder (the run checks again).
    char windows[install::kFolderRoom];
    char system[install::kFolderRoom];
    platform::WindowsFolder(windows, sizeof windows);
    platform::SystemFolder(system, sizeof system);
    install::BaseFolders standIns;
    install::StandInFolders(windows, system, &standIns);
    return install::CheckPackagePaths(model, standIns).ok();
}

namespace {

// The options in a box: after /?, or with the word that was not understood.
void ShowUsage(const platform::CommandLine& options) {
    gbk::Text<1024> text;
    if (!options.ok()) {
        char unknown[platform::CommandLine::kOptionRoom * 2];
        text.Assign(text::kUnknownOption);
        if (platform::Narrow(options.unknown, unknown, sizeof unknown)) text.Append(unknown);
        text.Append("\n\n");
    }
    text.Append(text::kUsage);
    platform::ShowOwnedMessageBox(nullptr, text.c_str(), text::kSheetCaption, MB_OK);
}

}  // namespace

int SetupApp::InitInstance() {
    platform::CommandLine options;
    platform::ParseSetupCommandLine(GetCommandLineW(), &options);
    const int code = Run(options);
    if (report.IsOpen()) {
        char number[16];
        gbk::FormatDecimal(code, number);
        report.Line("exit code:", number);
    }
    return code;
}

int SetupApp::Run(const platform::CommandLine& options) {
    // A report asked for and impossible to write is a command line that cannot be followed.
    const bool reportFailed = options.logPath[0] && !report.Open(options.logPath);
    report.WideLine("command line:", GetCommandLineW());
    if (!options.ok() || options.help || reportFailed) {
        if (!options.ok()) report.WideLine("unknown option:", options.unknown);
        // Under /S no window may appear, not even this one.
        if (!options.silent) ShowUsage(options);
        return platform::kExitBadCommandLine;
    }

    platform::StartOle();
    if (!options.silent) platform::InitCommonControlClasses();
    const Load load = LoadPackage(options.silent);
    if (load == Load::Cancelled) {
        report.Line("cancelled:", "the check of the package");
        return platform::kExitCancelled;
    }
    if (load != Load::Ready) {
        const char* message = load == Load::Corrupt ? text::kPackageCorrupt : text::kInitFailed;
        report.Line("failed:", message);
        if (!options.silent) platform::ShowOwnedMessageBox(nullptr, message, "", MB_OK);
        return platform::kExitDamaged;
    }
    report.Line("application:", model.appName);
    if (options.silent) return RunSilentInstall(options);

    const bool background = model.showBackground == 1;
    if (background) {
        backgroundWindow.color = model.backgroundColor;
        gbk::Copy(backgroundWindow.caption, sizeof backgroundWindow.caption,
                  model.backgroundCaption);
        backgroundWindow.picture = &backgroundPicture;
        backgroundWindow.keepCaption = model.backgroundHasCaption != 0;
        // Without the window the wizard still runs.
        if (backgroundWindow.CreateModeless(nullptr)) ShowWindow(backgroundWindow.hwnd(), SW_SHOW);
    }

    int code = platform::kExitCancelled;
    {
        CWizardSheet sheet;
        // /D= without /S proposes that folder on the folder page.
        if (options.hasFolder && platform::FitsGbk(options.folder))
            platform::Narrow(options.folder, sheet.step3.folder, sizeof sheet.step3.folder);
        sheet.SetWizardMode();
        sheet.RunModal(nullptr);
        mainWindow = nullptr;
        if (sheet.step5.finishPressed) {
            const install::RunResult& result = sheet.step4.result();
            code = result.missing == 0 && result.uninstallerWritten && sheet.step5.recordsWritten
                       ? platform::kExitDone
                       : platform::kExitIncomplete;
        }
    }

    if (background) backgroundWindow.Destroy();
    return code;
}

HICON SetupApp::PackageIcon() {
    if (!packageIcon_)
        packageIcon_ = platform::LoadSetupIcon(packageFile, model.iconLength, model.iconOffset);
    return packageIcon_;
}

int SetupApp::ShowConfirm(const char* message, const char* firstText, const char* secondText) {
    if (!confirmDialog.icon) {
        // A failed icon load is tried again on the next question.
        confirmDialog.icon = PackageIcon();
        gbk::Copy(confirmDialog.caption, sizeof confirmDialog.caption, model.appName);
    }
    gbk::Copy(confirmDialog.message, sizeof confirmDialog.message, message);
    gbk::Copy(confirmDialog.firstText, sizeof confirmDialog.firstText, firstText);
    gbk::Copy(confirmDialog.secondText, sizeof confirmDialog.secondText, secondText);
    return confirmDialog.RunModal(mainWindow) == IDOK ? 0 : 1;
}

}  // namespace ui
