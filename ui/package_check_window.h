// The start-up check of a large package: after a second it shows how far it has come, with a
// Cancel button, so that a slow disk or a share never looks like an installer that hangs.
#pragma once

#include <windows.h>

#include "package/package_sum.h"
#include "platform/dialog.h"

namespace ui {

class PackageCheckWindow : public platform::Dialog, public package::SumProgress {
public:
    // `silent`: no window at any time (/S).
    explicit PackageCheckWindow(bool silent);
    ~PackageCheckWindow() override;

    bool Advance(int64_t done, int64_t total) override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    bool silent_;
    bool cancelled_ = false;
    DWORD start_;
    DWORD lastDraw_ = 0;
};

}  // namespace ui
