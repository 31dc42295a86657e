#include "install/text_builder.h"

#include <cstdlib>
#include <cstring>

namespace install {

TextBuilder::~TextBuilder() { std::free(text_); }

bool TextBuilder::Append(const char* text, size_t length) {
    if (!ok_) return false;
    if (length_ + length + 1 > capacity_) {
        size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
        while (length_ + length + 1 > capacity) capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(text_, capacity));
        if (!grown) return ok_ = false;
        text_ = grown;
        capacity_ = capacity;
    }
    std::memcpy(text_ + length_, text, length);
    length_ += length;
    text_[length_] = '\0';
    return true;
}

void TextBuilder::Truncate(size_t length) {
    if (length >= length_) return;
    length_ = length;
    text_[length_] = '\0';
}

bool TextBuilder::AppendLine(const char* line, const char* ending) {
    return Append(line, std::strlen(line)) && Append(ending, std::strlen(ending));
}

}  // namespace install
