// Text that grows in one allocation: the install log, the list of written files.
#pragma once

#include <cstddef>

namespace install {

// A growing text in one allocation. After a failed allocation it stays as it was and ok() is
// false from then on, so a writer checks once at the end.
class TextBuilder {
public:
    TextBuilder() = default;
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;
    ~TextBuilder();

    bool Append(const char* text, size_t length);
    // `line` followed by `ending`.
    bool AppendLine(const char* line, const char* ending);
    // Drops everything after the first `length` bytes.
    void Truncate(size_t length);
    const char* text() const { return text_ ? text_ : ""; }
    size_t size() const { return length_; }
    bool ok() const { return ok_; }

private:
    char* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    bool ok_ = true;
};

}  // namespace install
