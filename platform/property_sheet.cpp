#include "platform/property_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include "platform/gbk.h"
#include "platform/system_library.h"
#include "platform/text_win32.h"

namespace platform {

namespace {
// Private requests to the sheet window.
constexpr UINT kRestoreTitleMessage = WM_APP + 0x51;
constexpr UINT kAttachedMessage = WM_APP + 0x52;
const wchar_t kSheetProperty[] = L"sfx.sheet";

PropertySheet* g_creating = nullptr;

template <typename Function>
Function Comctl(const char* name) {
    return SystemFunction<Function>(L"comctl32.dll", name);
}
}  // namespace

bool InitCommonControlClasses() {
    static int done = -1;
    if (done < 0) {
        auto init = Comctl<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("InitCommonControlsEx");
        INITCOMMONCONTROLSEX controls = {
            sizeof controls, ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
        done = init && init(&controls) ? 1 : 0;
    }
    return done == 1;
}

bool PropertyPage::OnNotify(NMHDR* header, LRESULT* result) {
    switch (header->code) {
        case PSN_SETACTIVE:
            if (sheet_) sheet_->RestoreTitleLater();
            *result = OnSetActive() ? 0 : -1;
            return true;
        case PSN_KILLACTIVE: *result = OnKillActive() ? FALSE : TRUE; return true;
        case PSN_WIZNEXT: *result = OnWizardNext() ? 0 : -1; return true;
        case PSN_WIZBACK: *result = OnWizardBack() ? 0 : -1; return true;
        case PSN_WIZFINISH: *result = OnWizardFinish() ? FALSE : TRUE; return true;
        case PSN_QUERYCANCEL: *result = OnQueryCancel() ? FALSE : TRUE; return true;
        default: return false;
    }
}

INT_PTR CALLBACK PropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        // A page gets its PROPSHEETPAGE (the sheet's copy), which carries the object.
        auto* page = reinterpret_cast<PropertyPage*>(
            reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        page->Attach(window);
        if (page->sheet_) page->sheet_->Attach(GetParent(window));
        self = page;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    return Guarded(self, message, wParam, lParam);
}

PropertySheet::PropertySheet(const char* caption, int startPage) : startPage_(startPage) {
    gbk::Copy(title_, sizeof title_, caption);
}

PropertySheet::~PropertySheet() = default;

void PropertySheet::AddPage(PropertyPage* page) {
    if (pageCount_ == kMaxPages) return;
    page->sheet_ = this;
    pages_[pageCount_++] = page;
}

INT_PTR PropertySheet::RunModal(HWND owner) {
    if (!InitCommonControlClasses()) return -1;
    auto propertySheet = Comctl<INT_PTR(WINAPI*)(const PROPSHEETHEADERW*)>("PropertySheetW");
    if (!propertySheet) return -1;

    PROPSHEETPAGEW pages[kMaxPages];
    for (int i = 0; i < pageCount_; ++i) {
        PROPSHEETPAGEW& page = pages[i];
        page = PROPSHEETPAGEW();
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = ProgramInstance();
        page.pszTemplate = MAKEINTRESOURCEW(pages_[i]->templateId());
        page.pfnDlgProc = PropertyPage::PageProc;
        page.lParam = reinterpret_cast<LPARAM>(pages_[i]);
    }
    const Wide caption(title_);
    PROPSHEETHEADERW header = PROPSHEETHEADERW();
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | (wizard_ ? PSH_WIZARD : 0);
    header.hwndParent = owner;
    header.hInstance = ProgramInstance();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pageCount_);
    header.nStartPage = static_cast<UINT>(startPage_);
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;

    g_creating = this;
    INT_PTR result = propertySheet(&header);
    g_creating = nullptr;
    hwnd_ = nullptr;
    defaultProc_ = nullptr;
    return result;
}

int CALLBACK PropertySheet::SheetCallback(HWND window, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && g_creating) g_creating->Attach(window);
    return 0;
}

void PropertySheet::Attach(HWND window) {
    if (hwnd_ == window || !window) return;
    hwnd_ = window;
    SetPropW(window, kSheetProperty, reinterpret_cast<HANDLE>(this));
    defaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
    PostMessageW(window, kAttachedMessage, 0, 0);
}

LRESULT CALLBACK PropertySheet::SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PropertySheet*>(GetPropW(window, kSheetProperty));
    if (!self || !self->defaultProc_) return DefWindowProcW(window, message, wParam, lParam);
    WNDPROC defaultProc = self->defaultProc_;
    if (message == kRestoreTitleMessage) {
        const Wide wanted(self->title_);
        wchar_t shown[512];
        GetWindowTextW(window, shown, 512);
        if (lstrcmpW(shown, wanted.c_str()) != 0) SetWindowTextW(window, wanted.c_str());
        return 0;
    }
    if (message == kAttachedMessage) {
        self->OnSize();
        return 0;
    }
    // Wine's sheet asks the cancel question twice for the close box: once for the system
    // command and once more for the WM_CLOSE that follows it. One press of Cancel asks once,
    // also on the last page, whose Cancel button is hidden.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        SendMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kSheetProperty);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defaultProc));
        self->hwnd_ = nullptr;
        return CallWindowProcW(defaultProc, window, message, wParam, lParam);
    }
    LRESULT result = CallWindowProcW(defaultProc, window, message, wParam, lParam);
    if (message == WM_SIZE) self->OnSize();
    return result;
}

void PropertySheet::RestoreTitleLater() {
    if (hwnd_) PostMessageW(hwnd_, kRestoreTitleMessage, 0, 0);
}

void PropertySheet::SetWizardButtons(unsigned flags) {
    if (hwnd_) PostMessageW(hwnd_, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

void PropertySheet::SetButtonText(int id, const char* text) {
    if (hwnd_) SetWindowTextW(GetDlgItem(hwnd_, id), Wide(text).c_str());
}

void PropertySheet::ShowButton(int id, bool on) {
    if (hwnd_) ShowWindow(GetDlgItem(hwnd_, id), on ? SW_SHOW : SW_HIDE);
}

void PropertySheet::SetActivePage(int index) {
    if (hwnd_) SendMessageW(hwnd_, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int PropertySheet::ActiveIndex() const {
    if (!hwnd_) return -1;
    HWND page = reinterpret_cast<HWND>(SendMessageW(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i]->hwnd() && pages_[i]->hwnd() == page) return i;
    return -1;
}

void PropertySheet::SetTitle(const char* title) {
    gbk::Copy(title_, sizeof title_, title);
    if (hwnd_) SetWindowTextW(hwnd_, Wide(title_).c_str());
}

}  // namespace platform
