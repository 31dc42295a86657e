// Numbers and flags as the settings carry them.
#pragma once

#include <cstdint>
#include <string>

namespace package {

// Converts like the C library's atol: leading blanks, an optional sign, digits up to the first
// non-digit, 0 when there are none. Values beyond 32 bits saturate instead of wrapping, so a
// damaged number can never turn into a small plausible one.
int32_t ParseNumber(const char* text);
int32_t ParseNumber(const char* begin, const char* end);

// "%d": signed decimal, no leading zeros or blanks.
std::string FormatNumber(int64_t value);

// A flag is set exactly when the item is the word "TRUE".
bool ParseFlag(const char* text);

// Copies a zero-terminated GBK text into a field of `room` bytes (terminator included). A text
// that does not fit is cut at the field's room, and never inside a double-byte character.
void CopyField(char* field, size_t room, const char* text);

// Whether `byte` starts a GBK double-byte character.
inline bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace package
