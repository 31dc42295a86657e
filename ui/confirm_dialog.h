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

    std::string firstText;
    std::string secondText;
    std::string message;
    HICON icon = nullptr;  // set on first use, never released
    std::string caption;   // set on first use: the application's name

protected:
    bool OnInitDialog() override;
};

}  // namespace ui
