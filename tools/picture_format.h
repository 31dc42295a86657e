// The picture files a package carries. The installer decodes its pictures with the platform's
// OLE picture loader, which reads BMP, JPEG and GIF but not PNG, and loads its icon from an
// icon file; a picture it cannot decode is dropped without a word, so the packer checks first.
#pragma once

#include <cstddef>
#include <string>

namespace sfxpack {

// "BMP", "JPEG", "GIF", "PNG" or "ICO" by the file's first bytes; nullptr for anything else.
const char* PictureFormat(const unsigned char* bytes, size_t size);

// Whether the installer's picture loader decodes a picture of this format.
bool IsLoadablePicture(const char* format);

// Why the installer would not show the icon file `bytes`, or "" when it would.
std::string IconProblem(const unsigned char* bytes, size_t size);

}  // namespace sfxpack
