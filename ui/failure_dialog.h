// The question after a file could not be written (dialog 140): what happened, the full path and
// the system's reason, answered with 重试 (try again), 跳过 (skip the file) or 停止 (install no
// more files). The close box and Escape skip: the file is counted as missing, nothing is lost.
#pragma once

#include "install/installation_run.h"
#include "platform/dialog.h"

namespace ui {

class FailureDialog : public platform::Dialog {
public:
    enum : int { kTemplate = 140, kIconControl = 1027, kMessageControl = 1000 };
    enum : int { kRetry = IDRETRY, kSkip = IDIGNORE, kStop = IDABORT };

    FailureDialog(const char* caption, const char* path, const install::WriteFailure& failure);

    install::FailureChoice Ask(HWND owner);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    const char* caption_;
    const char* path_;
    install::WriteFailure failure_;
};

// `message` in a box over `owner`, with the system's reason for `error` on a line of its own.
void ShowFailureBox(HWND owner, const char* message, unsigned long error);

}  // namespace ui
