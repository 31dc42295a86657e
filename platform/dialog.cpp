#include "platform/dialog.h"

#include <string>

#include "platform/text_win32.h"
#include "platform/window_message_box.h"

namespace platform {

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
    if (hwnd_ && !modal_) Destroy();
}

void Dialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextW(hwnd_, id, Widen(text).c_str());
}

std::string Dialog::ItemText(int id) const {
    HWND item = Item(id);
    if (!item) return std::string();
    int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = GetWindowTextW(item, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

void Dialog::EnableItem(int id, bool on) { EnableWindow(Item(id), on ? TRUE : FALSE); }

void Dialog::ShowItem(int id, bool on) { ShowWindow(Item(id), on ? SW_SHOW : SW_HIDE); }

void Dialog::SetCheck(int id, bool on) {
    CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Dialog::IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void Dialog::SetTitle(const std::string& title) { SetWindowTextW(hwnd_, Widen(title).c_str()); }

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

void Dialog::BindText(int id, std::string* value, int maxLength) {
    bindings_.push_back(Binding{id, value, nullptr, maxLength});
}

void Dialog::BindCheck(int id, int* value) { bindings_.push_back(Binding{id, nullptr, value, 0}); }

std::string Dialog::MaxLengthMessage(int maxLength) {
    // No printf: its formatting machinery would double the size of the installer stub's code.
    return "请输入不超过 " + std::to_string(maxLength) + " 个字符。";
}

namespace {
bool IsEditControl(HWND control) {
    wchar_t name[16];
    return GetClassNameW(control, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0;
}
}  // namespace

bool Dialog::UpdateData(bool saveAndValidate) {
    if (!hwnd_) return false;
    for (const Binding& binding : bindings_) {
        HWND control = Item(binding.id);
        if (binding.check) {
            if (saveAndValidate)
                *binding.check = IsChecked(binding.id) ? 1 : 0;
            else
                SetCheck(binding.id, *binding.check != 0);
            continue;
        }
        if (!saveAndValidate) {
            SetItemText(binding.id, *binding.text);
            // An edit box refuses typing past the limit, as far as it can count: it counts
            // characters, the limit counts bytes, so the read-back below still has the last word.
            if (binding.maxLength > 0 && control && IsEditControl(control))
                SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(binding.maxLength), 0);
            continue;
        }
        *binding.text = ItemText(binding.id);
        if (binding.maxLength > 0 &&
            binding.text->size() > static_cast<size_t>(binding.maxLength)) {
            ShowOwnedMessageBox(hwnd_, MaxLengthMessage(binding.maxLength), nullptr,
                                MB_OK | MB_ICONEXCLAMATION);
            if (control) {
                SetFocus(control);
                if (IsEditControl(control)) SendMessageW(control, EM_SETSEL, 0, -1);
            }
            return false;
        }
    }
    return true;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

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

INT_PTR Dialog::Guarded(Dialog* self, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!self) return FALSE;
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

}  // namespace platform
