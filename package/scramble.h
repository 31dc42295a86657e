// The byte scrambling of settings blocks. Every position is combined with all eight key bytes,
// which amounts to one XOR with the XOR of the key; the negation makes it more than an XOR.
#pragma once

#include <cstddef>

namespace package {

// The key that the installer, the uninstaller block and the packer all use.
constexpr const char* kSettingsKey = "wirl.dat";

void ScrambleBlock(unsigned char* data, long length, const char* keyText);
void UnscrambleBlock(unsigned char* data, long length, const char* keyText);

}  // namespace package
