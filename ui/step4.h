// The progress page (dialog 132): the package's line, a status line, the copy animation, the bar
// and the remaining time. Its first paint runs the installation; a later paint only redraws.
#pragma once

#include "install/installation_run.h"
#include "install/machine_system.h"
#include "install/path_rules.h"
#include "platform/keep_alive.h"
#include "ui/wizard_page.h"

namespace ui {

class CStep4 : public WizardPage, private install::RunView {
public:
    enum : int {
        kTemplate = 132,
        kTimeLine = 1026,
        kProgressBar = 1002,
        kStatusLine = 1025,
        kAnimation = 1004,
        kLine0 = 1021,
        kClip = 131
    };
    enum : int { kFinishPage = 4 };
    CStep4();
    ~CStep4() override;

    char line0[kLineRoom] = {};
    install::BaseFolders folders;  // filled on the first paint

    // What the run did, for the finish page: the files it wrote, and how it ended.
    const install::WrittenFiles* written() const { return run_ ? &run_->written() : nullptr; }
    const install::RunResult& result() const { return result_; }

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnPaint(HDC dc) override;

private:
    // The page, as the run sees it.
    void SetStatus(const char* text) override;
    void SetTimeLine(const char* text) override;
    void SetBar(int position) override;
    void StopAnimation() override;
    bool AskOverwrite(const char* question) override;
    install::FailureChoice AskAfterFailure(const char* path,
                                           const install::WriteFailure& failure) override;
    void ShowMessage(const char* text) override;
    uint32_t Ticks() override;
    void Pause(uint32_t milliseconds) override;
    void KeepAlive() override;
    void ShowFinishPage() override;

    void FileDone(const char* path, install::FileOutcome outcome) override;
    void SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) override;

    void SetLine(int id, const char* text);

    bool firstPaint_ = true;
    platform::KeepAlive alive_;
    install::MachineSystem system_;
    install::InstallationRun* run_ = nullptr;
    install::RunResult result_;
};

}  // namespace ui
