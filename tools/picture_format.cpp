#include "tools/picture_format.h"

#include <cstring>

#include "platform/icon_directory.h"

namespace sfxpack {

const char* PictureFormat(const unsigned char* bytes, size_t size) {
    auto startsWith = [&](const char* magic, size_t length) {
        return size >= length && std::memcmp(bytes, magic, length) == 0;
    };
    if (startsWith("BM", 2) && size >= 14) return "BMP";
    if (startsWith("\xFF\xD8\xFF", 3)) return "JPEG";
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) return "GIF";
    if (startsWith("\x89PNG\r\n\x1A\n", 8)) return "PNG";
    // An icon directory: reserved 0, type 1, at least one image.
    if (startsWith("\0\0\1\0", 4) && size >= 6 && (bytes[4] | bytes[5]) != 0) return "ICO";
    return nullptr;
}

bool IsLoadablePicture(const char* format) {
    return format && (std::strcmp(format, "BMP") == 0 || std::strcmp(format, "JPEG") == 0 ||
                      std::strcmp(format, "GIF") == 0);
}

std::string IconProblem(const unsigned char* bytes, size_t size) {
    if (platform::IconImageCount(bytes, size) > 0) return "";
    const unsigned count = size >= 6 ? (bytes[4] | bytes[5] << 8) : 0;
    if (count > platform::kMaxIconImages)
        return "has " + std::to_string(count) + " images; the installer shows icons of at most " +
               std::to_string(platform::kMaxIconImages);
    return "is damaged: its directory names an image that is empty or lies outside the file";
}

}  // namespace sfxpack
