#include "package/number.h"

#include <cstring>

namespace package {

int32_t ParseNumber(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT64_C(0x80000000)) value = INT64_C(0x80000000);
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t ParseNumber(const char* text) { return ParseNumber(text, text + std::strlen(text)); }

std::string FormatNumber(int64_t value) { return std::to_string(value); }

bool ParseFlag(const char* text) { return std::strcmp(text, "TRUE") == 0; }

void CopyField(char* field, size_t room, const char* text) {
    if (room == 0) return;
    size_t length = 0;
    while (text[length] != '\0' && length + 1 < room) {
        size_t width =
            IsGbkLeadByte(static_cast<unsigned char>(text[length])) && text[length + 1] != '\0' ? 2
                                                                                                : 1;
        if (length + width + 1 > room) break;
        length += width;
    }
    std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace package
