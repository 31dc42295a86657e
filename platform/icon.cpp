#include "ui/package_icon.h"

#include <cstring>

#include "package/file_block.h"

namespace ui {

namespace {
constexpr size_t kIconDirSize = 6;
constexpr size_t kFileEntrySize = 16;   // the .ico file's entry: ends with a 32-bit offset
constexpr size_t kGroupEntrySize = 14;  // the resource directory's: ends with a 16-bit id
constexpr unsigned kMaxImages = 64;

uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

HICON LoadIconFromBytes(const unsigned char* bytes, int32_t length) {
    if (!bytes || length < static_cast<int32_t>(kIconDirSize)) return nullptr;
    const size_t size = static_cast<size_t>(length);
    const unsigned count = bytes[4] | bytes[5] << 8;
    if (bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 || bytes[3] != 0 || count == 0 ||
        count > kMaxImages || kIconDirSize + count * kFileEntrySize > size)
        return nullptr;

    // The system picks the best image from a resource directory; the file's directory differs
    // only in its last field, so it is rewritten with each image's number as its id.
    unsigned char group[kIconDirSize + kMaxImages * kGroupEntrySize];
    std::memcpy(group, bytes, kIconDirSize);
    for (unsigned i = 0; i < count; ++i) {
        unsigned char* entry = group + kIconDirSize + i * kGroupEntrySize;
        std::memcpy(entry, bytes + kIconDirSize + i * kFileEntrySize, 12);
        entry[12] = static_cast<unsigned char>(i + 1);
        entry[13] = 0;
    }
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    const int id = LookupIconIdFromDirectoryEx(group, TRUE, width, height, LR_DEFAULTCOLOR);
    if (id < 1 || id > static_cast<int>(count)) return nullptr;

    const unsigned char* entry = bytes + kIconDirSize + (id - 1) * kFileEntrySize;
    const uint32_t imageSize = U32(entry + 8);
    const uint32_t imageOffset = U32(entry + 12);
    if (imageSize == 0 || imageOffset > size || imageSize > size - imageOffset) return nullptr;
    return CreateIconFromResourceEx(const_cast<unsigned char*>(bytes) + imageOffset, imageSize,
                                    TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

HICON LoadSetupIcon(const wchar_t* exePath, int32_t iconLength, int32_t iconOffset) {
    platform::RawFile file;
    if (iconLength > 0 && !file.OpenRead(exePath)) return nullptr;
    return LoadSetupIcon(file, iconLength, iconOffset);
}

HICON LoadSetupIcon(platform::RawFile& file, int32_t iconLength, int32_t iconOffset) {
    if (iconLength < 1)
        return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    int64_t length = iconLength;
    auto bytes = package::ReadFileBlock(file, &length, iconOffset);
    if (!bytes) return nullptr;
    return LoadIconFromBytes(bytes.get(), static_cast<int32_t>(length));
}

}  // namespace ui
