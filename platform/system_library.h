// Where the installer takes its DLLs from. A setup.exe usually runs from a download folder, and
// a DLL planted there (a fake version.dll or uxtheme.dll) would otherwise be loaded in place of
// the system's own, with the rights of an elevated installer.
#pragma once

namespace platform {

// Restricts every later DLL search to the system folder. Call before anything else runs.
void HardenDllSearch();

// True once HardenDllSearch has restricted the search (the system has SetDefaultDllDirectories):
// a library loaded later by path then finds the DLLs beside it only when asked explicitly.
bool DllSearchRestricted();

// The system folder's copy of `dll` (loaded once, kept for the whole run); nullptr when it is
// missing.
void* SystemLibrary(const wchar_t* dll);

// The function `name` of the system DLL `dll`, or nullptr.
void* SystemProc(const wchar_t* dll, const char* name);

// What calling a control's entry gave.
enum class ControlCall { NotLoaded, NoEntry, Succeeded, Failed };

// Loads the control (a DLL or .ocx) at `path`, calls its export `entry` (DllRegisterServer,
// DllUnregisterServer) and unloads it again. The DLLs it imports are looked for in its own
// folder and the system folder; the program's folder (a download folder, where a DLL may be
// planted) stays out of the search.
ControlCall CallControl(const wchar_t* path, const char* entry);

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(SystemProc(dll, name));
}

}  // namespace platform
