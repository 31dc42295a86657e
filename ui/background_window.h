// The optional full-screen window behind the wizard (dialog 139): a solid colour with the
// package's background picture stretched over it. It only paints; input to it has no effect.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog.h"

namespace platform {
class PictureHolder;
}

namespace ui {

class BackgroundWindow : public platform::Dialog {
public:
    enum : int { kTemplate = 139 };

    BackgroundWindow();

    uint32_t color = 0x808000;  // 0x00BBGGRR
    HBRUSH brush = nullptr;     // made when the window is initialised, never deleted
    char caption[68] = {};

    // What the window reads from the package when it is made.
    const platform::PictureHolder* picture = nullptr;
    bool keepCaption = false;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
};

}  // namespace ui
