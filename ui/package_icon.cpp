#include "ui/package_icon.h"

#include "package/file_block.h"
#include "package/settings_loader.h"
#include "platform/file.h"
#include "platform/text_win32.h"

namespace ui {

HICON LoadIconFromBytes(const unsigned char* bytes, int32_t length) {
    const std::string path = platform::TempFolder() + package::kTempFileName;
    // A read-only leftover of an earlier run must not block the copy.
    if (platform::PathExists(path)) platform::SetNormalAttributes(path);
    platform::RawFile file;
    if (!file.Create(path)) return nullptr;
    try {
        if (length > 0) file.Write(bytes, static_cast<size_t>(length));
    } catch (const platform::FileError&) {
        // A full disk: no icon, and no half-written file left behind.
        file.Close();
        platform::RemoveFile(path);
        return nullptr;
    }
    file.Close();
    HANDLE icon = LoadImageW(nullptr, platform::Widen(path).c_str(), IMAGE_ICON, 0, 0,
                             LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
    platform::RemoveFile(path);
    return static_cast<HICON>(icon);
}

HICON LoadSetupIcon(const std::string& exePath, int32_t iconLength, int32_t iconOffset) {
    if (iconLength < 1)
        return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    int64_t length = iconLength;
    auto bytes = package::ReadFileBlock(exePath, &length, iconOffset);
    if (!bytes) return nullptr;
    return LoadIconFromBytes(bytes.get(), static_cast<int32_t>(length));
}

}  // namespace ui
