// What every page of the wizard shares: the side picture, its cancel question, and the sheet
// requests of the button plan.
#pragma once

#include "package/limits.h"
#include "platform/property_sheet.h"

namespace ui {

class SetupApp;

class WizardPage : public platform::PropertyPage {
public:
    // `cancelQuestion` is asked when the user cancels on this page.
    WizardPage(int templateId, const char* cancelQuestion);

    static constexpr int kLineLimit = static_cast<int>(package::kPageLineLimit);
    // A line as the package holds it: a longer one than the page takes is shown, then refused.
    static constexpr size_t kLineRoom = 256;

protected:
    // Continue or quit: quitting lets the sheet close; nothing done so far is undone.
    bool OnQueryCancel() override;
    // Paints the side picture; pages that do more on a paint extend OnPaint.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    virtual void OnPaint(HDC dc);

    // Binds the text control `id` to `value` with the limit of a page line (47 bytes).
    void BindLine(int id, char (&value)[kLineRoom]);
    // Line `line` of this page's record of the package's texts.
    static const char* PageLine(int page, int line);

    platform::PropertySheet& Sheet() const { return *sheet(); }

private:
    const char* cancelQuestion_;
};

// The side picture's place on every page, in pixels.
constexpr int kSidePictureWidth = 115;
constexpr int kSidePictureHeight = 250;

}  // namespace ui
