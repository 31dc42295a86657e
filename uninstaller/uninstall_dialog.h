// The uninstaller's window: the application's name as its title, the package's picture and
// icon as the installer showed them. It asks first (the third uninstaller text), shows the
// heading (the second) and the item being removed while the removal runs, and ends with the
// message for "done" (the fourth) or "something stayed" (the first) and the summary of what
// stayed. OK closes it then.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/keep_alive.h"
#include "platform/picture_holder.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstallation.h"

namespace unwise {

// Template and control ids of unwise.rc.
constexpr int kDialogId = 100;
constexpr int kPictureAreaId = 1000;
constexpr int kIconId = 1001;
constexpr int kQuestionId = 1002;  // the question, then the heading, then the message at the end
constexpr int kSummaryId = 1003;   // what stayed, shown at the end when anything did
constexpr int kItemId = 1004;      // the item being removed

class UninstallDialog : public platform::Dialog, public UninstallView {
public:
    // `work` is prepared; `picture` and `icon` (either may be empty) belong to the caller and
    // outlive the dialog.
    UninstallDialog(Uninstallation& work, const platform::PictureHolder& picture, HICON icon);

    // IDOK once the removal has run (whatever stayed), IDCANCEL when the user said no.
    INT_PTR Run() { return RunModal(nullptr); }

    void ShowCurrent(const char* text) override;
    void KeepAlive() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    enum class State { Asking, Removing, Finished };
    void RunRemoval();
    void ShowEnd();

    Uninstallation& work_;
    const platform::PictureHolder& picture_;
    HICON icon_;
    State state_ = State::Asking;
    platform::KeepAlive alive_;
};

}  // namespace unwise
