#include "ui/silent_install.h"

#include <windows.h>

#include "install/finish_sequence.h"
#include "install/installation_run.h"
#include "install/machine_system.h"
#include "platform/exit_codes.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "ui/folder_rules.h"
#include "ui/setup_app.h"
#include "ui/install_folder.h"

namespace ui {

namespace {

// Tries before a file is skipped, and the wait between them: a file held open for a moment (a
// virus scanner, an indexer) is let go within that time; one held by a running program is not.
constexpr int kAttempts = 3;
constexpr DWORD kRetryWaitMs = 500;

bool DiskFull(platform::ErrorCode error) {
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

class SilentView : public install::RunView {
public:
    void SetStatus(const char*) override {}
    void SetTimeLine(const char*) override {}
    void SetBar(int) override {}
    void StopAnimation() override {}
    // "覆盖", the question's default button.
    bool AskOverwrite(const char*) override { return true; }
    install::FailureChoice AskAfterFailure(const char* path,
                                           const install::WriteFailure& failure) override {
        using install::FailureChoice;
        using install::WriteFailure;
        App().report.Failure(path, failure);
        // Every later file would fail the same way; the closing steps still run.
        if (DiskFull(failure.error)) return FailureChoice::Stop;
        const bool lasting = failure.kind == WriteFailure::DamagedData ||
                             failure.kind == WriteFailure::CannotRead ||
                             failure.kind == WriteFailure::PathTooLong;
        // Each file's tries are counted until its outcome (FileDone) comes.
        if (lasting || ++attempts_ >= kAttempts) return FailureChoice::Skip;
        Sleep(kRetryWaitMs);
        return FailureChoice::Retry;
    }
    void ShowMessage(const char* text) override { App().report.Line("message:", text); }
    uint32_t Ticks() override { return GetTickCount(); }
    // Nobody watches: the pauses that let a user read the page are left out.
    void Pause(uint32_t) override {}
    void KeepAlive() override {}
    void ShowFinishPage() override {}
    void FileDone(const char* path, install::FileOutcome outcome) override {
        attempts_ = 0;
        App().report.File(path, outcome);
    }
    void SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) override {
        App().report.SizeMismatch(path, decoded, expected);
    }

private:
    int attempts_ = 0;
};

class ReportView : public install::FinishView {
public:
    void Failed(const char* message, platform::ErrorCode error) override {
        App().report.Line("failed:", message, error);
    }
    void Done(const char* what, const char* path) override { App().report.Line(what, path); }
};

// The destination: /D= or the folder page's default, checked and made as the page does.
bool ChooseFolder(const platform::CommandLine& options) {
    wchar_t folder[platform::CommandLine::kRoom];
    if (options.hasFolder) {
        lstrcpynW(folder, options.folder, platform::CommandLine::kRoom);
    } else {
        char windows[MAX_PATH * 2];
        char fallback[platform::kPathRoom];
        platform::WindowsFolder(windows, sizeof windows);
        DefaultInstallFolder(windows, App().model.appName, fallback, sizeof fallback);
        lstrcpynW(folder, platform::Wide(fallback).c_str(), platform::CommandLine::kRoom);
    }
    char chosen[package::kInstallDirRoom];
    if (const char* refusal = AcceptInstallFolder(folder, App().model.appName, chosen, sizeof chosen)) {
        App().report.WideLine("folder refused:", folder);
        App().report.Line("reason:", refusal);
        return false;
    }
    gbk::Copy(App().model.installDir, sizeof App().model.installDir, chosen);
    App().report.Line("folder:", chosen);
    return true;
}

}  // namespace

int RunSilentInstall(const platform::CommandLine& options) {
    if (!ChooseFolder(options)) return platform::kExitFolderRefused;
    install::BaseFolders folders;
    install::FillBaseFolders(App().model.installDir, &folders);
    SilentView view;
    install::MachineSystem system(App().model, folders, App().report);
    install::InstallationRun run(App().model, folders, view, system);
    const install::RunResult result = run.Run();

    install::FinishChoice choice;  // the finish page's defaults: the program group only
    ReportView finishView;
    const bool recorded =
        install::RunFinishSequence(App().model, folders, App().model.appName, choice,
                                   run.written().text(), run.written().bytes(), finishView);
    return result.missing == 0 && result.uninstallerWritten && recorded ? platform::kExitDone
                                                                        : platform::kExitIncomplete;
}

}  // namespace ui
