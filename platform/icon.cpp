#include "platform/icon.h"

#include <cstring>

#include "platform/file_block.h"
#include "platform/icon_directory.h"

namespace platform {

namespace {
constexpr size_t kGroupEntrySize = 14;  // the resource directory's entry: ends with a 16-bit id
}  // namespace

HICON LoadIconFromBytes(const unsigned char* bytes, int32_t length) {
    if (length < 0) return nullptr;
    const size_t size = static_cast<size_t>(length);
    const unsigned count = IconImageCount(bytes, size);
    if (count == 0) return nullptr;

    // The system picks the best image from a resource directory; the file's directory differs
    // only in its last field, so it is rewritten with each image's number as its id.
    unsigned char group[kIconHeaderSize + kMaxIconImages * kGroupEntrySize];
    std::memcpy(group, bytes, kIconHeaderSize);
    for (unsigned i = 0; i < count; ++i) {
        unsigned char* entry = group + kIconHeaderSize + i * kGroupEntrySize;
        std::memcpy(entry, bytes + kIconHeaderSize + i * kIconEntrySize, 12);
        entry[12] = static_cast<unsigned char>(i + 1);
        entry[13] = 0;
    }
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    const int id = LookupIconIdFromDirectoryEx(group, TRUE, width, height, LR_DEFAULTCOLOR);
    if (id < 1 || id > static_cast<int>(count)) return nullptr;
    const IconImage image = IconImageAt(bytes, static_cast<unsigned>(id - 1));
    return CreateIconFromResourceEx(const_cast<unsigned char*>(bytes) + image.offset, image.size,
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
    auto bytes = platform::ReadFileBlock(file, &length, iconOffset);
    if (!bytes) return nullptr;
    return LoadIconFromBytes(bytes.get(), static_cast<int32_t>(length));
}

}  // namespace platform
