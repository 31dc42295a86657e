#include "ui/folder_browser.h"

#include <shlobj.h>

#include "platform/system_library.h"
#include "platform/text_win32.h"
#include "ui/folder_rules.h"

namespace ui {

namespace {
struct BrowseState {
    const wchar_t* initial;
    const wchar_t* caption;
};

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    const auto* state = reinterpret_cast<const BrowseState*>(data);
    if (message == BFFM_INITIALIZED) {
        if (*state->initial)
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(state->initial));
        if (*state->caption) SetWindowTextW(dialog, state->caption);
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

    char start[1024];
    BrowseStartFolder(initialFolder, start, sizeof start);
    const platform::Wide initial(start);
    const platform::Wide title(caption);
    const platform::Wide promptText(prompt);
    BrowseState state{initial.c_str(), title.c_str()};

    IMalloc* allocator = nullptr;
    if (FAILED(getMalloc(&allocator)) || !allocator) return 0;

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = BROWSEINFOW();
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = promptText.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&state);

    int chosen = 0;
    if (PIDLIST_ABSOLUTE item = browse(&info)) {
        wchar_t path[MAX_PATH] = {};
        // A folder whose name GBK cannot hold cannot be installed to: it counts as no choice.
        if (toPath(item, path) && platform::FitsGbk(path) &&
            platform::Narrow(path, result, sizeof result))
            chosen = 1;
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}

}  // namespace ui
