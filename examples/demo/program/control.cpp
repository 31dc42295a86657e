// The demo's control: registering it records the class "QorvelDemo.Control" with the path of
// the control, unregistering removes that key again, as a real control would.
#include <windows.h>
#include <olectl.h>

namespace {
HMODULE g_self;
constexpr wchar_t kClass[] = L"QorvelDemo.Control";
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(g_self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_UNEXPECTED;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kClass, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    const wchar_t name[] = L"演示控件";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   (length + 1) * sizeof(wchar_t));
    RegCloseKey(key);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    const LONG result = RegDeleteKeyW(HKEY_CLASSES_ROOT, kClass);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
