#include "platform/text_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform {

TextBuffer::~TextBuffer() { std::free(data_); }

bool TextBuffer::Append(const char* bytes, size_t count) {
    if (count > SIZE_MAX / 2 - size_) return ok_ = false;
    if (size_ + count + 1 > capacity_) {
        size_t capacity = capacity_ < 256 ? 256 : capacity_;
        while (size_ + count + 1 > capacity) capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(data_, capacity));
        if (!grown) return ok_ = false;
        data_ = grown;
        capacity_ = capacity;
    }
    if (count > 0) std::memcpy(data_ + size_, bytes, count);
    size_ += count;
    data_[size_] = '\0';
    return true;
}

bool TextBuffer::Append(const char* text) { return Append(text, std::strlen(text)); }

bool TextBuffer::AppendLine(const char* line, const char* ending) {
    return Append(line) && Append(ending);
}

void TextBuffer::Truncate(size_t length) {
    if (length >= size_) return;
    size_ = length;
    data_[size_] = '\0';
}

}  // namespace platform
