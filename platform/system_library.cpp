#include "platform/system_library.h"

#include <windows.h>

namespace platform {

namespace {
bool g_searchRestricted = false;

struct LoadedLibrary {
    wchar_t name[32];
    HMODULE module;
};
constexpr int kLoadedRoom = 16;
// On the heap: as a static array its zeros would be stored in every installer and uninstaller.
LoadedLibrary* g_loaded = nullptr;

bool SameName(const wchar_t* a, const wchar_t* b) { return lstrcmpiW(a, b) == 0; }

HMODULE LoadFromSystem(const wchar_t* dll) {
    // By its name, the program's manifest (common controls 6) still decides which comctl32
    // comes: the activation context is consulted before any folder. A full path would bypass it
    // and give the old version 5, so comctl32 is never loaded by path.
    if (g_searchRestricted) return LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (SameName(dll, L"comctl32.dll")) return LoadLibraryW(dll);
    // Without the restriction (Windows 7 before KB2533623) a full path keeps the download folder
    // out of the search.
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + lstrlenW(dll) + 2 > MAX_PATH) return nullptr;
    if (path[length - 1] != L'\\') path[length++] = L'\\';
    lstrcpyW(path + length, dll);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
}  // namespace

void HardenDllSearch() {
    // SetDefaultDllDirectories came with KB2533623 (Windows 7) and is looked up, so that the
    // program still starts where it is missing; there the full paths above do the work.
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) g_searchRestricted = true;
    SetDllDirectoryW(L"");
}

bool DllSearchRestricted() { return g_searchRestricted; }

ControlCall CallControl(const wchar_t* path, const char* entry) {
    const DWORD flags = g_searchRestricted
                            ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                            : LOAD_WITH_ALTERED_SEARCH_PATH;
    HMODULE library = LoadLibraryExW(path, nullptr, flags);
    if (!library) return ControlCall::NotLoaded;
    using EntryFunction = HRESULT(WINAPI*)();
    auto function =
        reinterpret_cast<EntryFunction>(reinterpret_cast<void*>(GetProcAddress(library, entry)));
    const ControlCall result = !function               ? ControlCall::NoEntry
                               : SUCCEEDED(function()) ? ControlCall::Succeeded
                                                       : ControlCall::Failed;
    // Nothing later calls into the control.
    FreeLibrary(library);
    return result;
}

void* SystemLibrary(const wchar_t* dll) {
    // The lazy imports come here before anything else runs; the process heap is there already.
    if (!g_loaded)
        g_loaded = static_cast<LoadedLibrary*>(
            HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kLoadedRoom * sizeof(LoadedLibrary)));
    if (!g_loaded) return LoadFromSystem(dll);
    for (int i = 0; i < kLoadedRoom; ++i) {
        LoadedLibrary& entry = g_loaded[i];
        if (entry.name[0] && SameName(entry.name, dll)) return entry.module;
        if (entry.name[0]) continue;
        if (lstrlenW(dll) >= 32) return LoadFromSystem(dll);
        // A missing DLL is remembered too: asking again would not make it appear.
        lstrcpyW(entry.name, dll);
        entry.module = LoadFromSystem(dll);
        return entry.module;
    }
    return LoadFromSystem(dll);
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
    wchar_t wide[32] = {};
    for (int i = 0; dll[i] && i < 31; ++i) wide[i] = static_cast<wchar_t>(dll[i]);
    void* module = platform::SystemLibrary(wide);
    void* function =
        module ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name))
               : nullptr;
    if (!function) ExitProcess(127);
    *slot = function;
    return function;
}
