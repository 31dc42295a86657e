// GBK text in fixed buffers. Everything the package holds and the pages show is GBK, and a GBK
// double-byte character may end with the byte of "\" (0x5C): every walk and every cut here steps
// over whole characters, so a name is never split and no trail byte is taken for a separator.
// The Windows programs have no standard string class; these few operations replace it, and each
// one reports by its result whether the whole text fitted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gbk {

constexpr size_t kNotFound = static_cast<size_t>(-1);

inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The width of the character at `p`: 2 for a lead byte followed by a trail byte, else 1 (a lead
// byte at the very end counts alone, as Windows shows it).
inline size_t CharWidth(const char* p) {
    return IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

// The longest prefix of `text` (of `length` bytes) that leaves room for the terminating zero in
// a buffer of `room` bytes without splitting a character.
size_t FitLength(const char* text, size_t length, size_t room);

// Copies `text` into `field` (room bytes, zero included), cut at a character boundary when it
// does not fit. Returns true when the whole text was copied.
bool Copy(char* field, size_t room, const char* text);
bool CopyBytes(char* field, size_t room, const char* text, size_t length);
bool Append(char* field, size_t room, const char* text);

// Position of the last (first) "\" that is a character of its own, or kNotFound.
size_t LastBackslash(const char* text);
size_t FirstBackslash(const char* text);
// Position where the last character starts, or kNotFound for an empty text.
size_t LastCharacter(const char* text);
bool EndsWithBackslash(const char* text);

// Writes the decimal form of `value` (at most 20 characters and the zero); returns its length.
size_t FormatDecimal(int64_t value, char* out);

// A text of at most N - 1 bytes held in place. Copies are plain copies of the buffer.
template <size_t N>
class Text {
public:
    static constexpr size_t kRoom = N;

    Text() { data_[0] = '\0'; }
    explicit Text(const char* text) { Copy(data_, N, text); }

    bool Assign(const char* text) { return Copy(data_, N, text); }
    bool Append(const char* text) { return gbk::Append(data_, N, text); }
    bool AppendChar(char c) {
        const char pair[2] = {c, '\0'};
        return gbk::Append(data_, N, pair);
    }
    void Clear() { data_[0] = '\0'; }
    // Cuts the text to its first `length` bytes (a caller's position, on a character boundary).
    void Truncate(size_t length) {
        if (length < N) data_[length] = '\0';
    }

    const char* c_str() const { return data_; }
    char* buffer() { return data_; }
    size_t size() const { return std::strlen(data_); }
    bool empty() const { return data_[0] == '\0'; }
    bool operator==(const char* other) const { return std::strcmp(data_, other) == 0; }
    bool operator!=(const char* other) const { return !(*this == other); }

private:
    char data_[N];
};

}  // namespace gbk
