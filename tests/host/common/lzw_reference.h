// The archive's LZW code written the plain way, for the tests: a bit writer that packs codes
// most significant bit first, and a decoder that keeps a full copy of every string and reads
// bit by bit, step for step as the format is defined. The fast decoder must agree with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CodeWriter {
public:
    // The width the decoder reads the next code with: the bits of nextCode + 1, at least 9.
    static unsigned WidthFor(unsigned nextCode) {
        unsigned width = 9;
        while ((nextCode + 1) >> width) ++width;
        return width;
    }
    void Put(unsigned code, unsigned width) {
        for (unsigned bit = width; bit-- > 0;) PutBit((code >> bit) & 1);
    }
    void PutBit(unsigned bit) {
        if (count_ % 8 == 0) bytes_.push_back('\0');
        if (bit) bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (count_ % 8)));
        ++count_;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    size_t count_ = 0;
};

// Codes as the decoder sees them, each with the width it is read with; the stream's own
// bookkeeping (nextCode, the code after a clear) is tracked here so that a test only lists
// codes. Valid streams only: it mirrors the decoder's rules.
class StreamBuilder {
public:
    void Code(unsigned code) {
        writer_.Put(code, afterClear_ ? 9u : CodeWriter::WidthFor(nextCode_));
        if (code == 256) {
            if (afterClear_) {
                afterClear_ = false;
                hasPrevious_ = false;
            } else {
                afterClear_ = true;
                nextCode_ = 258;
            }
            return;
        }
        if (afterClear_) {
            afterClear_ = false;
            hasPrevious_ = true;
            return;
        }
        if (hasPrevious_) ++nextCode_;
        hasPrevious_ = true;
    }
    unsigned nextCode() const { return nextCode_; }
    bool hasPrevious() const { return hasPrevious_; }
    bool afterClear() const { return afterClear_; }
    const std::string& bytes() const { return writer_.bytes(); }

private:
    CodeWriter writer_;
    unsigned nextCode_ = 258;
    bool afterClear_ = false;
    bool hasPrevious_ = false;
};

// The decoder as the format defines it. Returns false (with what it decoded so far) where a
// stream breaks the format's rules, at the point where the plain decoder would go wrong.
inline bool ReferenceDecode(const std::string& stream, std::string* out,
                            unsigned* highestNextCode = nullptr) {
    std::vector<std::string> table(4097);
    size_t bit = 0;
    auto read = [&](unsigned width, unsigned* code) {
        if (bit + width > stream.size() * 8) return false;
        *code = 0;
        for (unsigned i = 0; i < width; ++i, ++bit)
            *code =
                *code << 1 | ((static_cast<unsigned char>(stream[bit / 8]) >> (7 - bit % 8)) & 1);
        return true;
    };
    auto reset = [&] {
        for (auto& s : table) s.clear();
        for (unsigned c = 0; c < 256; ++c) table[c] = std::string(1, static_cast<char>(c));
    };
    reset();
    unsigned nextCode = 258, previous = 0, code = 0;
    bool first = true;
    if (highestNextCode) *highestNextCode = nextCode;
    for (;;) {
        if (highestNextCode && nextCode > *highestNextCode) *highestNextCode = nextCode;
        if (!read(CodeWriter::WidthFor(nextCode), &code)) return false;
        if (first && code != 256) return false;
        first = false;
        if (code == 257) return true;
        if (code == 256) {
            reset();
            if (!read(9, &code)) return false;
            if (code == 257) return true;
            if (code > 256) return false;
            *out += table[code];
            previous = code;
            nextCode = 258;
            continue;
        }
        if (code > 4095 || (code < 4096 && code > nextCode)) return false;
        if (!table[code].empty()) {
            *out += table[code];
            if (previous != 256) {
                if (nextCode > 4095) return false;
                table[nextCode++] = table[previous] + table[code][0];
            }
        } else {
            if (previous == 256 || code != nextCode || nextCode > 4095) return false;
            const std::string s = table[previous] + table[previous][0];
            *out += s;
            table[nextCode++] = s;
        }
        previous = code;
    }
}
