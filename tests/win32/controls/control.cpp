// A control for the registration tests, built several times over: CONTROL_RESULT is what its
// DllRegisterServer returns, CONTROL_NO_EXPORT leaves the export out, CONTROL_USES_HELPER makes
// it import a DLL of ours that must lie beside it. A DllRegisterServer that runs leaves the file
// "<its own path>.ran", so a test can tell that it was called; a DllUnregisterServer,
// "<its own path>.unregistered".
#include <windows.h>

#ifdef CONTROL_USES_HELPER
#include "helper.h"
#endif

namespace {
HMODULE g_self;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

#ifndef CONTROL_NO_EXPORT
namespace {
bool LeaveMarker(const wchar_t* suffix) {
    wchar_t marker[MAX_PATH + 16];
    DWORD length = GetModuleFileNameW(g_self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    lstrcpyW(marker + length, suffix);
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    return LeaveMarker(L".unregistered") ? S_OK : E_UNEXPECTED;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    if (!LeaveMarker(L".ran")) return E_UNEXPECTED;
#ifdef CONTROL_USES_HELPER
    return HelperResult();
#else
    return CONTROL_RESULT;
#endif
}
#endif
