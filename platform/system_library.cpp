#include "platform/system_library.h"

#include <windows.h>

#include <string>

namespace platform {

namespace {
bool g_searchRestricted = false;
}

void HardenDllSearch() {
    // SetDefaultDllDirectories came with KB2533623 (Windows 7) and is looked up, so that the
    // program still starts where it is missing; there the full paths below do the work.
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) g_searchRestricted = true;
    // Takes the current folder out of the search order on systems without the call above.
    SetDllDirectoryW(L"");
}

void* SystemLibrary(const wchar_t* dll) {
    if (g_searchRestricted) {
        if (HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
            return module;
    }
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    if (path.back() != L'\\') path += L'\\';
    path += dll;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* SystemProc(const wchar_t* dll, const char* name) {
    HMODULE module = static_cast<HMODULE>(SystemLibrary(dll));
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace platform

// Called by the lazy import stubs of the installer stub (cmake/lazy_imports.py) on the first call
// of a function of a system DLL: loads the DLL from the system folder, fills the import slot and
// returns the function. A system without the function cannot run the installer at all.
extern "C" void* sfx_resolve_import(const char* dll, const char* name, void** slot) {
    // Each DLL's name is one string of the stubs, so its address identifies the DLL.
    static struct {
        const char* name;
        void* module;
    } loaded[16];
    void* module = nullptr;
    for (auto& entry : loaded) {
        if (entry.name == dll) {
            module = entry.module;
            break;
        }
        if (!entry.name) {
            wchar_t wide[64] = {};
            for (int i = 0; dll[i] && i < 63; ++i) wide[i] = static_cast<wchar_t>(dll[i]);
            module = platform::SystemLibrary(wide);
            entry.name = dll;
            entry.module = module;
            break;
        }
    }
    void* function =
        module ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name))
               : nullptr;
    if (!function) ExitProcess(127);
    *slot = function;
    return function;
}
