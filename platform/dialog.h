// A dialog on a template of the program's resources: one shared dialog procedure that finds the
// object through the window and dispatches to a few virtual handlers, data exchange for texts
// and check boxes, and a handful of one-line control helpers. Texts are GBK.
#pragma once

#include <windows.h>

#include <cstddef>

namespace platform {

class Dialog {
public:
    explicit Dialog(int templateId);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int templateId() const { return templateId_; }
    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void SetItemText(int id, const char* text);
    // The control's text as GBK, cut to `room`; false when it did not fit whole.
    bool ItemText(int id, char* text, size_t room) const;
    void EnableItem(int id, bool on);
    void ShowItem(int id, bool on);
    void SetCheck(int id, bool on);
    bool IsChecked(int id) const;
    void SetTitle(const char* title);

    INT_PTR RunModal(HWND owner);
    bool CreateModeless(HWND owner);
    void Destroy();
    void End(INT_PTR result);

    // Moves the bound values into the controls (false: a dialog that binds values calls it from
    // its OnInitDialog) or reads and checks them (true). Reading
    // stops at the first text longer than its limit, with the standard message, and returns
    // false; the value keeps what it held.
    bool UpdateData(bool saveAndValidate);

    // "请输入不超过 N 个字符。" into `text`.
    static void MaxLengthMessage(int maxLength, char* text, size_t room);

protected:
    // A text bound to a control: `room` bytes of buffer, and at most `maxLength` GBK bytes
    // (0: no limit but the buffer). An edit control also gets the limit as its own.
    void BindText(int id, char* value, size_t room, int maxLength = 0);
    template <size_t N>
    void BindText(int id, char (&value)[N], int maxLength = 0) {
        BindText(id, value, N, maxLength);
    }
    void BindCheck(int id, int* value);

    virtual bool OnInitDialog();
    virtual bool OnCommand(int id, int code);
    virtual bool OnNotify(NMHDR* header, LRESULT* result);
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Guarded(Dialog* self, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);

private:
    struct Binding {
        int id;
        char* text;
        size_t room;
        int* check;
        int maxLength;
    };
    static constexpr int kMaxBindings = 12;
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    Binding bindings_[kMaxBindings];
    int bindingCount_ = 0;

    friend class PropertyPage;
};

HINSTANCE ProgramInstance();

}  // namespace platform
