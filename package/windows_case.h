// Which two GBK names Windows takes for one file: it compares names after its own upper-case
// table, character by character. Of the letters GBK holds, those whose other case GBK holds as
// well are ASCII, full-width Latin, Greek, Cyrillic (with Ё) and the Roman numerals Ⅰ-Ⅹ; a
// letter whose other case GBK lacks (the pinyin à) can only ever meet itself. The packer, the
// installer and the uninstaller all compare through this, so none of them takes two names for
// one file that another takes for two. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

// The GBK character at `text` (`width` bytes, 1 or 2) as Windows upper-cases it: the byte, or
// lead byte * 256 + trail byte.
uint32_t UpperCharacter(const char* text, size_t width);

// `a` and `b` (zero-terminated GBK) in the order of their upper-cased characters; 0 when
// Windows takes them for the same name. A lead byte at the very end counts alone.
int CompareNames(const char* a, const char* b);

}  // namespace package
