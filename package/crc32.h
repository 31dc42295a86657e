// CRC-32 (the polynomial of zip and PNG), eight bytes a step. It finds a damaged download, not a
// forged one: that is the signature's business.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

// Continues `crc` (0 to start) over `count` bytes.
uint32_t Crc32(uint32_t crc, const void* data, size_t count);

}  // namespace package
