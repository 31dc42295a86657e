#include "package/windows_case.h"

namespace package {

namespace {
// The lower-case letters of one GBK row whose upper case lies in the same row.
struct LowerRun {
    unsigned char lead;
    unsigned char first;
    unsigned char last;
    int8_t toUpper;
};

constexpr LowerRun kLowerRuns[] = {
    {0xA2, 0xA1, 0xAA, 0x50},   // ⅰ-ⅹ, Ⅰ-Ⅹ at A2F1
    {0xA3, 0xE1, 0xFA, -0x20},  // full-width ａ-ｚ
    {0xA6, 0xC1, 0xD8, -0x20},  // Greek α-ω (GBK has no final sigma)
    {0xA7, 0xD1, 0xF1, -0x30},  // Cyrillic а-я with ё
};
}  // namespace

uint32_t UpperCharacter(const char* text, size_t width) {
    const unsigned char first = static_cast<unsigned char>(text[0]);
    if (width == 1) return first >= 'a' && first <= 'z' ? first - 0x20u : first;
    unsigned char trail = static_cast<unsigned char>(text[1]);
    for (const LowerRun& run : kLowerRuns)
        if (first == run.lead && trail >= run.first && trail <= run.last) {
            trail = static_cast<unsigned char>(trail + run.toUpper);
            break;
        }
    return first * 256u + trail;
}

}  // namespace package
