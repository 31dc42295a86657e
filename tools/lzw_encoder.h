// The publisher's side of the archive's LZW code: what the installer's decoder reads back.
#pragma once

#include <cstddef>
#include <string>

namespace sfxpack {

// One complete stream: ClearCode first, a ClearCode as soon as the decoder's nextCode reaches
// 4092, EndCode last; codes packed most significant bit first, with the decoder's early width
// changes at nextCode 511, 1023 and 2047.
std::string LzwEncode(const unsigned char* data, size_t size);

}  // namespace sfxpack
