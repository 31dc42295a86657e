// Text conversions the publisher's tool needs at the terminal and in manifests.
#pragma once

#include <string>

namespace sfxpack {

// GBK bytes as UTF-8 for the terminal; bytes that are not GBK come out as U+FFFD.
std::string GbkToUtf8(const std::string& gbk);

// UTF-8 to GBK. On a character that GBK cannot hold (or bytes that are not UTF-8), returns false
// and puts that character, as UTF-8, into `offending`.
bool Utf8ToGbk(const std::string& utf8, std::string* gbk, std::string* offending);

// A JSON string literal, quotes included.
std::string JsonString(const std::string& utf8);

}  // namespace sfxpack
