#include "install/registration.h"

#include <windows.h>

#include "install/kept_values.h"
#include "package/file_type_keys.h"
#include "package/package_sum.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/system_library.h"
#include "platform/text_win32.h"

namespace install {

namespace {

void CreateClassKey(const char* name) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, platform::Wide(name).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

// Sets the default value of a key created before; a key that could not be created gets none.
// What was there goes into the application's keeping first, for its uninstaller to put back.
void SetDefaultValue(const char* appName, const char* name, const char* value) {
    KeepReplacedValue(appName, name);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, platform::Wide(name).c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    const platform::Wide wide(value);
    const DWORD bytes = static_cast<DWORD>((lstrlenW(wide.c_str()) + 1) * sizeof(wchar_t));
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), bytes);
    RegCloseKey(key);
}


}  // namespace

bool RegisterServer(const char* appName, const char* path, uint32_t crc) {
    const platform::Wide wide(path);
    if (!wide.ok()) return false;
    // The folder may be one that other users can write to: what is loaded with the installer's
    // rights must be what it wrote, and stay so until it is loaded.
    platform::RawFile guard;
    uint32_t found = 0;
    if (!guard.OpenReadLocked(wide.c_str()) ||
        package::SumOfRange(guard, 0, guard.Length(), &found) != package::SumResult::Match ||
        found != crc)
        return false;
    // The uninstaller loads it again only while it still holds these bytes.
    unsigned char sum[kSha256Size];
    if (Sha256OfFile(guard, sum)) KeepControlSum(appName, path, sum);
    // A control without the export has nothing to register, which is not a failure.
    const platform::ControlCall call = platform::CallControl(wide.c_str(), "DllRegisterServer");
    return call == platform::ControlCall::NoEntry || call == platform::ControlCall::Succeeded;
}

void RegisterFileType(const char* appName, const char* extension, const char* program) {
    if (!*extension) return;
    // Key names that do not fit would name other keys: nothing is written then.
    package::FileTypeKeys keys;
    if (!package::MakeFileTypeKeys(extension, &keys)) return;

    CreateClassKey(keys.extension.c_str());
    CreateClassKey(keys.className.c_str());
    CreateClassKey(keys.icon.c_str());
    CreateClassKey(keys.shell.c_str());
    CreateClassKey(keys.open.c_str());
    CreateClassKey(keys.command.c_str());

    SetDefaultValue(appName, keys.extension.c_str(), keys.className.c_str());
    // A program path cut short would make an icon or a command that names another file: such a
    // value is left out instead.
    package::TypeValue value;
    if (package::MakeIconValue(program, &value)) SetDefaultValue(appName, keys.icon.c_str(), value.c_str());
    if (package::MakeCommandValue(program, &value))
        SetDefaultValue(appName, keys.command.c_str(), value.c_str());
}

}  // namespace install
