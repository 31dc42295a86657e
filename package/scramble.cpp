#include "package/scramble.h"

#include <cstring>

namespace package {

namespace {
// An empty key text means "tolmeric"; a short one is padded with blanks; only 8 bytes count.
unsigned char KeyXor(const char* keyText) {
    const char* text = keyText && *keyText ? keyText : "tolmeric";
    size_t length = std::strlen(text);
    unsigned char folded = 0;
    for (size_t i = 0; i < 8; ++i) folded ^= i < length ? static_cast<unsigned char>(text[i]) : ' ';
    return folded;
}
}  // namespace

void ScrambleBlock(unsigned char* data, long length, const char* keyText) {
    const unsigned char k = KeyXor(keyText);
    for (long i = 0; i < length; ++i) data[i] = static_cast<unsigned char>(-(data[i] ^ k));
}

void UnscrambleBlock(unsigned char* data, long length, const char* keyText) {
    const unsigned char k = KeyXor(keyText);
    for (long i = 0; i < length; ++i) data[i] = static_cast<unsigned char>(-data[i]) ^ k;
}

}  // namespace package
