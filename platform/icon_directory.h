// The directory at the head of an .ico file, read the same way by the packer, which refuses an
// icon the installer could not show, and by the installer and the uninstaller, which show it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// More images than any icon editor writes; the installer's copy of the directory is a fixed
// buffer of this many entries.
constexpr unsigned kMaxIconImages = 64;

constexpr size_t kIconHeaderSize = 6;
constexpr size_t kIconEntrySize =
    16;  // width, height, colours, reserved, planes, bits, size, offset

struct IconImage {
    uint32_t offset;
    uint32_t size;
};

// The number of images of the icon file `bytes` (`size` bytes): 0 when it is no icon file, has
// more than kMaxIconImages images, or an image that is empty or lies outside the bytes.
unsigned IconImageCount(const unsigned char* bytes, size_t size);

// Where image `index` (from 0) lies; only for an index below IconImageCount's answer.
inline IconImage IconImageAt(const unsigned char* bytes, unsigned index) {
    const unsigned char* entry = bytes + kIconHeaderSize + index * kIconEntrySize;
    auto u32 = [](const unsigned char* p) {
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    };
    return IconImage{u32(entry + 12), u32(entry + 8)};
}

}  // namespace platform
