#include "platform/dialog.h"

#include <cstring>

#include <commctrl.h>
#include <prsht.h>

#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "resources/setup_texts.h"

namespace platform {

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
    if (hwnd_ && !modal_) Destroy();
}

void Dialog::SetItemText(int id, const char* text) {
    SetDlgItemTextW(hwnd_, id, Wide(text).c_str());
}

bool Dialog::ItemText(int id, char* text, size_t room) const {
    text[0] = '\0';
    HWND item = Item(id);
    if (!item) return true;
    wchar_t wide[Wide::kRoom];
    const int length = GetWindowTextW(item, wide, Wide::kRoom);
    if (length >= static_cast<int>(Wide::kRoom) - 1) return false;
    return Narrow(wide, text, room);
}

void Dialog::EnableItem(int id, bool on) { EnableWindow(Item(id), on ? TRUE : FALSE); }

void Dialog::ShowItem(int id, bool on) { ShowWindow(Item(id), on ? SW_SHOW : SW_HIDE); }

void Dialog::SetCheck(int id, bool on) {
    CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Dialog::IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void Dialog::SetTitle(const char* title) { SetWindowTextW(hwnd_, Wide(title).c_str()); }

INT_PTR Dialog::RunModal(HWND owner) {
    modal_ = true;
    INT_PTR result = DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(templateId_), owner,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    hwnd_ = nullptr;
    return result;
}

bool Dialog::CreateModeless(HWND owner) {
    modal_ = false;
    HWND window = CreateDialogParamW(ProgramInstance(), MAKEINTRESOURCEW(templateId_), owner,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void Dialog::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void Dialog::End(INT_PTR result) {
    if (hwnd_) EndDialog(hwnd_, result);
}

void Dialog::BindText(int id, char* value, size_t room, int maxLength) {
    if (bindingCount_ < kMaxBindings)
        bindings_[bindingCount_++] = Binding{id, value, room, nullptr, maxLength};
}

void Dialog::BindCheck(int id, int* value) {
    if (bindingCount_ < kMaxBindings)
        bindings_[bindingCount_++] = Binding{id, nullptr, 0, value, 0};
}

void Dialog::MaxLengthMessage(int maxLength, char* text, size_t room) {
    char number[24];
    gbk::FormatDecimal(maxLength, number);
    gbk::Copy(text, room, ::text::kTooLongBefore);
    gbk::Append(text, room, number);
    gbk::Append(text, room, ::text::kTooLongAfter);
}

namespace {
bool IsEditControl(HWND control) {
    wchar_t name[16];
    return GetClassNameW(control, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0;
}

// The answer that refuses what a page notification asks: stay on the page, keep the sheet open.
[[maybe_unused]] LRESULT RefusingResult(UINT code) {
    switch (code) {
        case PSN_SETACTIVE:
        case PSN_WIZNEXT:
        case PSN_WIZBACK: return -1;
        default: return TRUE;  // PSN_KILLACTIVE, PSN_WIZFINISH, PSN_QUERYCANCEL
    }
}
}  // namespace

bool Dialog::UpdateData(bool saveAndValidate) {
    if (!hwnd_) return false;
    for (int i = 0; i < bindingCount_; ++i) {
        const Binding& binding = bindings_[i];
        HWND control = Item(binding.id);
        if (binding.check) {
            if (saveAndValidate)
                *binding.check = IsChecked(binding.id) ? 1 : 0;
            else
                SetCheck(binding.id, *binding.check != 0);
            continue;
        }
        if (!saveAndValidate) {
            SetItemText(binding.id, binding.text);
            if (binding.maxLength > 0 && control && IsEditControl(control))
                SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(binding.maxLength), 0);
            continue;
        }
        // Read into a scratch buffer first: a refused text leaves the value as it was.
        char typed[Wide::kRoom * 2];
        const bool whole = ItemText(binding.id, typed, sizeof typed);
        const size_t limit =
            binding.maxLength > 0 ? static_cast<size_t>(binding.maxLength) : binding.room - 1;
        if (!whole || std::strlen(typed) > limit || std::strlen(typed) >= binding.room) {
            char message[64];
            MaxLengthMessage(static_cast<int>(limit), message, sizeof message);
            ShowOwnedMessageBox(hwnd_, message, nullptr, MB_OK | MB_ICONEXCLAMATION);
            if (control) {
                SetFocus(control);
                if (IsEditControl(control)) SendMessageW(control, EM_SETSEL, 0, -1);
            }
            return false;
        }
        gbk::Copy(binding.text, binding.room, typed);
    }
    return true;
}

// A dialog with bound values moves them in from its own OnInitDialog: a program whose dialogs
// bind nothing (the uninstaller) then carries none of the exchange.
bool Dialog::OnInitDialog() { return true; }

bool Dialog::OnCommand(int id, int code) {
    if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL) && modal_) {
        End(id);
        return true;
    }
    return false;
}

bool Dialog::OnNotify(NMHDR*, LRESULT*) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

void Dialog::Attach(HWND window) {
    hwnd_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return FALSE;
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
        default: {
            INT_PTR result = 0;
            if (OnMessage(message, wParam, lParam, &result)) return result;
            if (message == WM_NCDESTROY) hwnd_ = nullptr;
            return FALSE;
        }
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->Attach(window);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    return Guarded(self, message, wParam, lParam);
}

// The shipped programs are built without exceptions: their handlers report failure by their
// result. Where exceptions exist (a test's page), none may cross back into Windows, and a
// handler that threw has failed: the page refuses the step instead of letting the wizard go on
// with half-done work.
INT_PTR Dialog::Guarded(Dialog* self, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!self) return FALSE;
#if defined(__cpp_exceptions)
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        if (message != WM_NOTIFY || !self->hwnd_) return FALSE;
        SetWindowLongPtrW(self->hwnd_, DWLP_MSGRESULT,
                          RefusingResult(reinterpret_cast<NMHDR*>(lParam)->code));
        return TRUE;
    }
#else
    return self->Dispatch(message, wParam, lParam);
#endif
}

}  // namespace platform
