#include "platform/gbk.h"

namespace gbk {

size_t FitLength(const char* text, size_t length, size_t room) {
    if (room == 0) return 0;
    size_t fit = 0;
    while (fit < length) {
        size_t width =
            IsLeadByte(static_cast<unsigned char>(text[fit])) && fit + 1 < length ? 2 : 1;
        if (fit + width + 1 > room) break;
        fit += width;
    }
    return fit;
}

bool CopyBytes(char* field, size_t room, const char* text, size_t length) {
    if (room == 0) return length == 0;
    const size_t fit = FitLength(text, length, room);
    std::memmove(field, text, fit);
    field[fit] = '\0';
    return fit == length;
}

bool Copy(char* field, size_t room, const char* text) {
    return CopyBytes(field, room, text, std::strlen(text));
}

bool Append(char* field, size_t room, const char* text) {
    const size_t used = std::strlen(field);
    if (used >= room) return false;
    return CopyBytes(field + used, room - used, text, std::strlen(text));
}

size_t LastBackslash(const char* text) {
    size_t found = kNotFound;
    for (size_t i = 0; text[i] != '\0'; i += CharWidth(text + i))
        if (text[i] == '\\') found = i;
    return found;
}

size_t FirstBackslash(const char* text) {
    for (size_t i = 0; text[i] != '\0'; i += CharWidth(text + i))
        if (text[i] == '\\') return i;
    return kNotFound;
}

size_t LastCharacter(const char* text) {
    size_t last = kNotFound;
    for (size_t i = 0; text[i] != '\0'; i += CharWidth(text + i)) last = i;
    return last;
}

bool EndsWithBackslash(const char* text) {
    const size_t last = LastCharacter(text);
    return last != kNotFound && text[last] == '\\' && text[last + 1] == '\0';
}

size_t FormatDecimal(int64_t value, char* out) {
    char digits[20];
    size_t count = 0;
    // Work on the negative side, where the most negative value still fits.
    int64_t rest = value < 0 ? value : -value;
    do {
        digits[count++] = static_cast<char>('0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    size_t length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = digits[--count];
    out[length] = '\0';
    return length;
}

}  // namespace gbk
