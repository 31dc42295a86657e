// Pairs of GBK names and whether Windows takes them for one name. The host's tests hold our
// folding to it, and a Win32 test holds Windows itself to it under Wine, so the two cannot drift.
#pragma once

struct SameNameCase {
    const char* a;
    const char* b;
    bool same;
};

inline constexpr SameNameCase kSameNameCases[] = {
    {"C:\\Program Files\\App", "c:\\PROGRAM FILES\\app", true},
    {"C:\\App", "C:\\App2", false},
    {"a[z]", "A[Z]", true},
    {"@`{", "@`{", true},
    {"@", "`", false},                               // the bytes just before 'A' and 'a'
    {"[", "{", false},                               // and just after 'Z' and 'z'
    {"\xA3\xC1\xA3\xDA", "\xA3\xE1\xA3\xFA", true},  // full-width ＡＺ, ａｚ
    {"\xA6\xA1\xA6\xB8", "\xA6\xC1\xA6\xD8", true},  // Greek ΑΩ, αω
    {"\xA6\xB2", "\xA6\xD2", true},                  // Greek Σ, σ
    {"\xA7\xA1\xA7\xC1", "\xA7\xD1\xA7\xF1", true},  // Cyrillic АЯ, ая
    {"\xA7\xA7", "\xA7\xD7", true},                  // Cyrillic Ё, ё
    {"\xA2\xF1\xA2\xFA", "\xA2\xA1\xA2\xAA", true},  // Roman numerals ⅠⅩ, ⅰⅹ
    {"\xA2\xFB", "\xA2\xAA", false},                 // Ⅺ, ⅹ
    {"\xA8\xA4", "\xA8\xA2", false},                 // à, á: no upper case in GBK
    // A trail byte is not a letter: 0xB0 0x41 and 0xB0 0x61 are two different characters.
    {"\xB0\x41", "\xB0\x61", false},
    // 0x5C as a trail byte is no separator, and its character has no case.
    {"\x95\x5C\x61", "\x95\x5C\x41", true},  // 昞a, 昞A
    {"\xB1\xED", "\xB1\xCD", false},         // 表, 蓖
};
