// Numbers and flags as the settings carry them.
#pragma once

#include <cstdint>

namespace package {

// Converts like the C library's atol: leading blanks, an optional sign, digits up to the first
// non-digit, 0 when there are none. Values beyond 32 bits saturate instead of wrapping, so a
// damaged number can never turn into a small plausible one.
int32_t ParseNumber(const char* text);
int32_t ParseNumber(const char* begin, const char* end);

}  // namespace package
