#include "tools/lzw_encoder.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/lzw_codes.h"

namespace sfxpack {

namespace {

using archive::lzw::CodeWidth;
using archive::lzw::kClearCode;
using archive::lzw::kEndCode;
using archive::lzw::kFirstFreeCode;
using archive::lzw::kFirstWidth;
using archive::lzw::kPackerClearsAt;

class BitWriter {
public:
    explicit BitWriter(std::string* out) : out_(out) {}
    void Put(unsigned code, unsigned width) {
        bits_ = (bits_ << width) | code;
        count_ += width;
        while (count_ >= 8) {
            count_ -= 8;
            out_->push_back(static_cast<char>((bits_ >> count_) & 0xFF));
        }
    }
    // The last byte is filled with zero bits.
    void Finish() {
        if (count_ > 0) out_->push_back(static_cast<char>((bits_ << (8 - count_)) & 0xFF));
        count_ = 0;
    }

private:
    std::string* out_;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
};

// The strings of the current table, keyed by (code of the string without its last byte, last
// byte). Open addressing in 16,384 slots for at most 3,834 strings; each slot holds the key
// above the code, 0 when empty (no string has code 0).
class StringTable {
public:
    StringTable() : slots_(kSlots, 0) {}
    void Clear() { std::memset(slots_.data(), 0, slots_.size() * sizeof(uint32_t)); }
    // The code of the string, or 0 when the table does not hold it.
    unsigned Find(unsigned prefix, unsigned char byte) const {
        const uint32_t key = prefix << 8 | byte;
        for (uint32_t i = Hash(key);; i = (i + 1) & (kSlots - 1)) {
            const uint32_t slot = slots_[i];
            if (slot == 0) return 0;
            if (slot >> 12 == key) return slot & 0xFFF;
        }
    }
    void Add(unsigned prefix, unsigned char byte, unsigned code) {
        const uint32_t key = prefix << 8 | byte;
        uint32_t i = Hash(key);
        while (slots_[i] != 0) i = (i + 1) & (kSlots - 1);
        slots_[i] = key << 12 | code;
    }

private:
    static constexpr uint32_t kSlots = 16384;
    static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> 18; }
    std::vector<uint32_t> slots_;
};

}  // namespace

std::string LzwEncode(const unsigned char* data, size_t size) {
    std::string out;
    out.reserve(size / 2 + 16);
    BitWriter bits(&out);
    StringTable table;

    // The decoder's view: the nextCode it reads the next code with, and whether that code is
    // the first after a clear (which adds no string on its side).
    unsigned decoderNext = kFirstFreeCode;
    bool firstAfterClear = true;
    unsigned encoderNext = kFirstFreeCode;

    bits.Put(kClearCode, kFirstWidth);
    if (size > 0) {
        unsigned current = data[0];
        for (size_t i = 1; i < size; ++i) {
            const unsigned char byte = data[i];
            const unsigned found = table.Find(current, byte);
            if (found) {
                current = found;
                continue;
            }
            bits.Put(current, CodeWidth(decoderNext));
            if (firstAfterClear)
                firstAfterClear = false;
            else
                ++decoderNext;
            if (decoderNext == kPackerClearsAt) {
                bits.Put(kClearCode, CodeWidth(decoderNext));
                table.Clear();
                decoderNext = kFirstFreeCode;
                encoderNext = kFirstFreeCode;
                firstAfterClear = true;
            } else {
                table.Add(current, byte, encoderNext++);
            }
            current = byte;
        }
        bits.Put(current, CodeWidth(decoderNext));
        if (!firstAfterClear) ++decoderNext;
        if (decoderNext == kPackerClearsAt) {
            bits.Put(kClearCode, CodeWidth(decoderNext));
            decoderNext = kFirstFreeCode;
        }
    }
    bits.Put(kEndCode, CodeWidth(decoderNext));
    bits.Finish();
    return out;
}

}  // namespace sfxpack
