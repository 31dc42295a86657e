// The code of the archive's LZW streams, as the installer's decoder reads it and the packer's
// encoder writes it: the special codes, the table size and the width rule. Header-only.
#pragma once

namespace archive {
namespace lzw {

// 0 to 255 stand for their byte.
constexpr unsigned kClearCode = 256;  // empty the table, go back to 9-bit codes
constexpr unsigned kEndCode = 257;    // the stream is complete
constexpr unsigned kFirstFreeCode = 258;
constexpr unsigned kTableSize = 4096;
constexpr unsigned kFirstWidth = 9;
constexpr unsigned kWidestCode = 12;

// The width of the code read while the table's next free code is `nextCode`: the bits that
// nextCode + 1 needs, at least 9. It grows one code earlier than the classic rule (at 511,
// 1023 and 2047).
constexpr unsigned CodeWidth(unsigned nextCode) {
    unsigned width = kFirstWidth;
    while ((nextCode + 1) >> width) ++width;
    return width;
}

// At nextCode 4095 the rule asks for 13 bits, which no stream may use: the packer clears as
// soon as the decoder's nextCode reaches this, so every code stays within 12 bits.
constexpr unsigned kPackerClearsAt = 4092;

static_assert(CodeWidth(510) == 9 && CodeWidth(511) == 10 && CodeWidth(1023) == 11 &&
                  CodeWidth(2047) == 12 && CodeWidth(4095) == 13,
              "the width grows one code early");
static_assert(CodeWidth(kPackerClearsAt) <= kWidestCode, "the packer's clear code fits 12 bits");

}  // namespace lzw
}  // namespace archive
