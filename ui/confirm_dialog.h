// The one question box of the run (dialog 136): a message, the package's icon and two buttons
// whose texts the caller gives. Cancel questions and the overwrite question share it.
#pragma once

#include <string>

#include "platform/dialog.h"

namespace ui {

class ConfirmDialog : public platform::Dialog {
public:
    enum : int { kTemplate = 136, kIconControl = 1027, kMessageControl = 1000 };

    ConfirmDialog();

    char firstText[64] = {};
    char secondText[64] = {};
    char message[1024] = {};  // room for a question that names a full path
    HICON icon = nullptr;     // set on first use, never released
    char caption[256] = {};   // set on first use: the application's name

protected:
    bool OnInitDialog() override;
};

}  // namespace ui
