// Walking GBK text a character at a time. A double-byte character's trail byte may be any byte
// from 0x40 up, '\' (0x5C) and '|' among them, so a byte-wise search for a separator would
// split "乗" (0x81 0x5C) in two; every search here steps over whole characters instead.
// Header-only and free of the standard library's strings: the installer, the uninstaller and
// the packer share it.
#pragma once

#include <cstddef>

namespace package {
namespace gbk {

// What the search functions return when there is nothing to find.
constexpr size_t kNone = static_cast<size_t>(-1);

// Whether `byte` starts a double-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Bytes of the character at `at` in a text of `size` bytes: 2 for a lead byte with a byte after
// it, otherwise 1 (a lead byte on the last byte stands alone, as Windows takes it).
constexpr size_t CharWidth(const char* text, size_t size, size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < size ? 2 : 1;
}

// The same for a zero-terminated text.
constexpr size_t CharWidth(const char* text, size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && text[at + 1] != '\0' ? 2 : 1;
}

// Where the last character starts; kNone for an empty text.
constexpr size_t LastCharStart(const char* text, size_t size) {
    size_t last = kNone;
    for (size_t i = 0; i < size; i += CharWidth(text, size, i)) last = i;
    return last;
}

// The first and the last ASCII character `c` (a separator such as '\'); kNone when there is
// none. A trail byte of the same value is never taken for it.
constexpr size_t FindFirst(const char* text, size_t size, char c) {
    for (size_t i = 0; i < size; i += CharWidth(text, size, i))
        if (text[i] == c) return i;
    return kNone;
}
constexpr size_t FindLast(const char* text, size_t size, char c) {
    size_t found = kNone;
    for (size_t i = 0; i < size; i += CharWidth(text, size, i))
        if (text[i] == c) found = i;
    return found;
}

// The longest start of the text that keeps to `room` bytes and does not end inside a
// character: what a field of `room` bytes plus its terminator can take of it.
constexpr size_t FittingLength(const char* text, size_t size, size_t room) {
    size_t length = 0;
    while (length < size) {
        const size_t width = CharWidth(text, size, length);
        if (length + width > room) break;
        length += width;
    }
    return length;
}

}  // namespace gbk
}  // namespace package
