#include "install/registration.h"

#include <windows.h>

#include "platform/system_library.h"
#include "platform/text_win32.h"

namespace install {

bool RegisterServer(const char* path) {
    const platform::Wide wide(path);
    if (!wide.ok()) return false;
    // The process takes DLLs from the system folder only, but a control may import a DLL that
    // was installed beside it: its own folder is searched for this load as well. The installer's
    // folder (a download folder, where a DLL may be planted) stays out of the search.
    const DWORD flags = platform::DllSearchRestricted()
                            ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                            : LOAD_WITH_ALTERED_SEARCH_PATH;
    HMODULE library = LoadLibraryExW(wide.c_str(), nullptr, flags);
    if (!library) return false;
    using RegisterFunction = HRESULT(WINAPI*)();
    auto registerServer = reinterpret_cast<RegisterFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    // A control without the export has nothing to register, which is not a failure.
    const bool registered = !registerServer || SUCCEEDED(registerServer());
    // Nothing later calls into the control.
    FreeLibrary(library);
    return registered;
}

}  // namespace install
