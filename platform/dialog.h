// A thin dialog over a template of the program's resources: one shared dialog procedure finds
// the object and dispatches to a few virtual handlers, and a small data exchange moves texts and
// check marks between members and controls. No exception ever leaves a handler into Windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
    void SetItemText(int id, const std::string& text);
    std::string ItemText(int id) const;
    void EnableItem(int id, bool on);
    void ShowItem(int id, bool on);
    void SetCheck(int id, bool on);
    bool IsChecked(int id) const;
    void SetTitle(const std::string& title);

    // Runs the dialog modally over `owner` (may be null); -1 when it cannot be created.
    INT_PTR RunModal(HWND owner);
    // Creates the dialog modeless; false when it cannot be created.
    bool CreateModeless(HWND owner);
    void Destroy();
    // Ends a modal run with `result`.
    void End(INT_PTR result);

    // Pushes the bound members into the controls, or (`saveAndValidate`) reads the controls
    // back into the members. A text longer than its limit stops the read-back: the standard
    // message is shown, the focus goes to the control, and the result is false.
    bool UpdateData(bool saveAndValidate);

    // The standard message for a text over `maxLength` bytes (GBK).
    static std::string MaxLengthMessage(int maxLength);

protected:
    // `maxLength` counts GBK bytes, as every length of the system does; 0 means no limit.
    void BindText(int id, std::string* value, int maxLength = 0);
    // A check box or radio button: 1 checked, 0 not.
    void BindCheck(int id, int* value);

    // Default: pushes the members into the controls; true lets Windows set the focus.
    virtual bool OnInitDialog();
    // A WM_COMMAND from control `id` with notification `code`; true when handled. The default
    // ends a modal run with IDOK / IDCANCEL for the buttons 1 and 2.
    virtual bool OnCommand(int id, int code);
    // A WM_NOTIFY; true when handled, with `*result` as the answer.
    virtual bool OnNotify(NMHDR* header, LRESULT* result);
    // Any other message; true when handled, with `*result` as the dialog procedure's return.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    // The dialog procedure's work for the window `window`, once the object is known.
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Dispatch for the dialog procedures: Windows cannot carry a C++ exception through its own
    // frames, so a failing handler counts as a message not handled.
    static INT_PTR Guarded(Dialog* self, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);

private:
    struct Binding {
        int id;
        std::string* text;
        int* check;
        int maxLength;
    };
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    std::vector<Binding> bindings_;

    friend class PropertyPage;
};

// The module whose resources hold the dialog templates (the running executable).
HINSTANCE ProgramInstance();

}  // namespace platform
