// The wizard: the system's property sheet in wizard mode, with pages that are dialogs plus the
// page hooks, and the few sheet requests the installer makes (buttons, texts, active page).
#pragma once

#include <windows.h>

#include "platform/dialog.h"

namespace platform {

class PropertySheet;

class PropertyPage : public Dialog {
public:
    explicit PropertyPage(int templateId) : Dialog(templateId) {}
    PropertySheet* sheet() const { return sheet_; }

protected:
    // The page becomes the active one; false refuses it.
    virtual bool OnSetActive() { return true; }
    // The page is about to be left; false keeps it. The default reads the controls back.
    virtual bool OnKillActive() { return UpdateData(true); }
    // Next, Back and Finish in wizard mode; false keeps the page.
    virtual bool OnWizardNext() { return true; }
    virtual bool OnWizardBack() { return true; }
    virtual bool OnWizardFinish() { return true; }
    // Cancel, the close box or Escape; false refuses the cancel.
    virtual bool OnQueryCancel() { return true; }

    bool OnNotify(NMHDR* header, LRESULT* result) override;

private:
    friend class PropertySheet;
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    PropertySheet* sheet_ = nullptr;
};

class PropertySheet {
public:
    // Flags of SetWizardButtons.
    enum : unsigned { kBack = 1, kNext = 2, kFinish = 4 };
    // The sheet's buttons.
    enum : int {
        kBackButton = 0x3023,
        kNextButton = 0x3024,
        kFinishButton = 0x3025,
        kCancelButton = 2,
        kHelpButton = 9
    };

    PropertySheet(const char* caption, int startPage);
    virtual ~PropertySheet();
    PropertySheet(const PropertySheet&) = delete;
    PropertySheet& operator=(const PropertySheet&) = delete;

    void AddPage(PropertyPage* page);
    void SetWizardMode() { wizard_ = true; }
    // Runs the sheet modally; the result of the system's property sheet.
    INT_PTR RunModal(HWND owner);

    HWND hwnd() const { return hwnd_; }
    // Posted, as the system's wizard expects while a page is being activated.
    void SetWizardButtons(unsigned flags);
    void SetButtonText(int id, const char* text);
    void ShowButton(int id, bool on);
    void SetActivePage(int index);
    int ActiveIndex() const;

    // The sheet's title. The sheet keeps it and puts it back after every page change, since
    // some property sheets (Wine's) replace the title by the page's caption when the page
    // changes.
    void SetTitle(const char* title);
    const char* title() const { return title_; }

protected:
    // After the default processing of the sheet window's WM_SIZE, and once right after the
    // window is made (it may have been sized before the sheet object saw it).
    virtual void OnSize() {}

private:
    friend class PropertyPage;
    void Attach(HWND window);
    void RestoreTitleLater();
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);
    static LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static constexpr int kMaxPages = 8;
    char title_[256];
    int startPage_;
    bool wizard_ = false;
    PropertyPage* pages_[kMaxPages];
    int pageCount_ = 0;
    HWND hwnd_ = nullptr;
    WNDPROC defaultProc_ = nullptr;
};

// Loads the common controls (property sheet, progress bar, animation) from the system folder
// and registers their classes; false when they are missing.
bool InitCommonControlClasses();

}  // namespace platform
