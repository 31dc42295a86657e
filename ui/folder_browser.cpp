#include "ui/folder_browser.h"

#include <shlobj.h>

#include "platform/system_library.h"
#include "platform/text_win32.h"
#include "ui/folder_rules.h"

namespace ui {

namespace {
struct BrowseState {
    std::wstring initial;
    std::wstring caption;
};

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    const auto* state = reinterpret_cast<const BrowseState*>(data);
    if (message == BFFM_INITIALIZED) {
        if (!state->initial.empty())
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(state->initial.c_str()));
        if (!state->caption.empty()) SetWindowTextW(dialog, state->caption.c_str());
    } else if (message == BFFM_SELCHANGED) {
        SendMessageW(dialog, BFFM_ENABLEOK, 0, TRUE);
    }
    return 0;
}
}  // namespace

int FolderBrowser::Run(HWND owner) {
    using GetMallocFn = HRESULT(WINAPI*)(IMalloc**);
    using BrowseFn = PIDLIST_ABSOLUTE(WINAPI*)(BROWSEINFOW*);
    using PathFn = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, wchar_t*);
    auto getMalloc = platform::SystemFunction<GetMallocFn>(L"shell32.dll", "SHGetMalloc");
    auto browse = platform::SystemFunction<BrowseFn>(L"shell32.dll", "SHBrowseForFolderW");
    auto toPath = platform::SystemFunction<PathFn>(L"shell32.dll", "SHGetPathFromIDListW");
    if (!getMalloc || !browse || !toPath) return 0;

    BrowseState state;
    if (!initialFolder.empty()) state.initial = platform::Widen(BrowseStartFolder(initialFolder));
    state.caption = platform::Widen(caption);
    const std::wstring title = platform::Widen(prompt);

    IMalloc* allocator = nullptr;
    if (FAILED(getMalloc(&allocator)) || !allocator) return 0;

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = BROWSEINFOW();
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&state);

    int chosen = 0;
    if (PIDLIST_ABSOLUTE item = browse(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (toPath(item, path)) {
            result = platform::Narrow(path);
            chosen = 1;
        }
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}

}  // namespace ui
