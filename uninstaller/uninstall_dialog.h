// The uninstaller's window: the application's name as its title, the package's picture and
// icon as the installer showed them, a question, and OK or Cancel.
#pragma once

#include <windows.h>

#include "package/uninstaller_block.h"
#include "platform/dialog.h"
#include "ui/picture_holder.h"

namespace unwise {

// Template and control ids of unwise.rc.
constexpr int kDialogId = 100;
constexpr int kPictureAreaId = 1000;
constexpr int kIconId = 1001;
constexpr int kQuestionId = 1002;

class UninstallDialog : public platform::Dialog {
public:
    // Shows `block`'s texts, `picture` when it holds one and `icon` when there is one; all
    // three belong to the caller and outlive the dialog.
    UninstallDialog(const package::UninstallerBlock& block, const ui::PictureHolder& picture,
                    HICON icon);

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    const package::UninstallerBlock& block_;
    const ui::PictureHolder& picture_;
    HICON icon_;
};

}  // namespace unwise
