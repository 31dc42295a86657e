// One decoded picture (JPEG, BMP, GIF, whatever the system's OLE picture loader reads), held
// for the whole run and drawn stretched into any rectangle.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/file.h"

struct IPicture;
struct IStream;

namespace platform {

class PictureHolder {
public:
    PictureHolder() = default;
    PictureHolder(const PictureHolder&) = delete;
    PictureHolder& operator=(const PictureHolder&) = delete;
    virtual ~PictureHolder();

    // Decodes `length` bytes; false (and no picture) when they are no picture.
    bool LoadFromMemory(const unsigned char* bytes, int32_t length);
    // Decodes the `length` bytes at `offset` of the file `path` (a package, the uninstaller);
    // false when they cannot be read or are no picture.
    bool LoadFromFile(const wchar_t* path, int32_t length, int32_t offset);
    // The same from a file the caller holds open (the installer's own package).
    bool LoadFromFile(platform::RawFile& file, int32_t length, int32_t offset);
    // Decodes the program's resource (`id`, `type`); false when there is none.
    bool LoadFromResource(int id, const char* type);
    // Draws the whole picture upright, stretched into the rectangle; false when none is held.
    bool Draw(HDC dc, int x, int y, int width, int height) const;

    int32_t loaded = 0;
    int32_t widthHimetric = 0;
    int32_t heightHimetric = 0;

private:
    void Release();

    IStream* stream_ = nullptr;
    IPicture* picture_ = nullptr;
};

}  // namespace platform
