// Text that grows in one allocation of its own (the Windows programs have no std::string): the
// install log and list the installer writes, the records and summary the uninstaller writes.
#pragma once

#include <cstddef>

namespace platform {

class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    ~TextBuffer();

    // False when the memory cannot be had: the buffer then holds what it held, and ok() stays
    // false from then on, so a writer may check once at the end.
    bool Append(const char* bytes, size_t count);
    bool Append(const char* text);
    // `line` followed by `ending`.
    bool AppendLine(const char* line, const char* ending);
    // Drops everything after the first `length` bytes.
    void Truncate(size_t length);
    void Clear() { Truncate(0); }

    // Always followed by a zero byte that size() does not count.
    const char* data() const { return data_ ? data_ : ""; }
    size_t size() const { return size_; }
    bool ok() const { return ok_; }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool ok_ = true;
};

}  // namespace platform
