#include "archive/lzw_decoder.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace archive {

namespace {

constexpr size_t kInputRoom = 32 * 1024;
// Output collects here and goes to the sink in pieces of kOutputRoom. After each piece the last
// kHistory bytes stay in front, so that most strings can be copied from an earlier copy.
constexpr size_t kHistory = 32 * 1024;
constexpr size_t kOutputRoom = 128 * 1024;
// No string is longer than the table has codes (4096 - 258 + 2 bytes at most); a short string
// is copied as 16 bytes, which may run up to 15 bytes past its end.
constexpr size_t kLongestString = LzwDecoder::kTableSize;
constexpr size_t kCopyWidth = 16;
// In front of the window lie the 256 byte values, each at its own index, so that a code of one
// byte is copied like any string, from a place of its own.
constexpr size_t kByteValuesRoom = 256 + kCopyWidth;

// Bits are kept in a machine word. On a 32-bit machine (the installer's own) a 64-bit word
// would take two registers and turn every shift into a sequence; 32 bits still hold two codes
// after each refill. SFX_LZW_WORD32 forces the narrow word, to test it on a 64-bit host.
#if defined(SFX_LZW_WORD32) || UINTPTR_MAX <= 0xFFFFFFFFu
using BitWord = uint32_t;
#else
using BitWord = uint64_t;
#endif
constexpr unsigned kWordBits = sizeof(BitWord) * 8;

inline BitWord LoadBigEndian(const unsigned char* p) {
    BitWord word;
    std::memcpy(&word, p, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if constexpr (sizeof word == 8)
        return static_cast<BitWord>(__builtin_bswap64(word));
    else
        return static_cast<BitWord>(__builtin_bswap32(static_cast<uint32_t>(word)));
#else
    return word;
#endif
}

// The compressed bytes not yet turned into bits. Never asks the source for more than the
// stream's own byte count.
struct CodeInput {
    ByteSource& source;
    uint32_t unread;  // bytes of the stream not yet asked of the source
    unsigned char* buffer;
    size_t pos = 0;
    size_t end = 0;
};

// Bits not yet read, at the top of the word.
struct Bits {
    BitWord word = 0;
    unsigned count = 0;
};

// Takes as many whole bytes into the bits as fit, from eight bytes that are there. Called only
// when fewer bits are left than a code has, so at least one byte fits.
inline Bits TakeWord(CodeInput& in, Bits bits) {
    const unsigned take = (kWordBits - 1 - bits.count) >> 3;
    bits.word |= (LoadBigEndian(in.buffer + in.pos) >> (kWordBits - 8 * take))
                 << (kWordBits - bits.count - 8 * take);
    in.pos += take;
    bits.count += 8 * take;
    return bits;
}

// As TakeWord while eight bytes are there, one byte at a time at the end of the stream; loads
// the next piece of input when fewer than eight are left.
Bits Refill(CodeInput& in, Bits bits) {
    if (in.end - in.pos < 8 && in.unread > 0) {
        const size_t kept = in.end - in.pos;
        std::memmove(in.buffer, in.buffer + in.pos, kept);
        in.pos = 0;
        in.end = kept;
        const size_t want = in.unread < kInputRoom - kept ? in.unread : kInputRoom - kept;
        size_t got = 0;
        while (got < want) {
            const size_t n = in.source.Read(in.buffer + kept + got, want - got);
            if (n == 0) break;
            got += n;
        }
        in.end += got;
        // A source that ends early has nothing more to give: the stream is cut there.
        in.unread = got < want ? 0 : in.unread - static_cast<uint32_t>(want);
    }
    if (in.end - in.pos >= 8) return TakeWord(in, bits);
    while (bits.count <= kWordBits - 8 && in.pos < in.end) {
        bits.word |= static_cast<BitWord>(in.buffer[in.pos++]) << (kWordBits - 8 - bits.count);
        bits.count += 8;
    }
    return bits;
}

// The output window: bytes from `buffer` to the write position, of which those from `pending`
// on have not reached the sink yet. `base` is the output position of buffer[0].
struct Window {
    ByteSink& sink;
    unsigned char* buffer;
    unsigned char* pending;
    uint32_t base = 0;

    // Hands the pending bytes to the sink and keeps the last kHistory bytes in front.
    // Returns the new write position, or nullptr when the sink refused the bytes.
    unsigned char* Flush(unsigned char* at) {
        if (at > pending && !sink.Write(pending, static_cast<size_t>(at - pending))) return nullptr;
        const size_t drop = static_cast<size_t>(at - buffer) - kHistory;
        std::memmove(buffer, buffer + drop, kHistory);
        base += static_cast<uint32_t>(drop);
        pending = buffer + kHistory;
        return pending;
    }
};

}  // namespace

DecodeStatus LzwDecoder::Decode(uint32_t compressedSize, ByteSource& source, ByteSink& sink) {
    if (!input_) input_.reset(new (std::nothrow) unsigned char[kInputRoom]);
    if (!output_)
        output_.reset(new (std::nothrow) unsigned char[kByteValuesRoom + kHistory + kOutputRoom +
                                                       kLongestString + kCopyWidth]);
    if (!input_ || !output_) return DecodeStatus::NoMemory;
    unsigned char* const values = output_.get();
    for (unsigned i = 0; i < kByteValuesRoom; ++i) values[i] = static_cast<unsigned char>(i);
    unsigned char* const buffer = values + kByteValuesRoom;
    CodeInput in{source, compressedSize, input_.get()};
    Bits bits;
    Window window{sink, buffer, buffer};
    unsigned char* const limit = buffer + kHistory + kOutputRoom;
    unsigned char* at = buffer;

    // The byte values lie kByteValuesRoom before the window; their positions move with it.
    // A string whose copy began in the kByteValuesRoom bytes just dropped from the window
    // would now seem to lie among them: it is sent along its prefixes instead.
    auto placeByteValues = [&](unsigned defined) {
        for (unsigned c = 0; c < 256; ++c)
            table_[c].position = window.base - static_cast<uint32_t>(kByteValuesRoom) + c;
        for (unsigned c = kFirstFreeCode; c < defined; ++c)
            if (window.base - table_[c].position - 1u < kByteValuesRoom)
                table_[c].position = window.base - 0x80000000u;
    };
    for (unsigned c = 0; c < 256; ++c)
        table_[c] = Entry{0, 0, 1, static_cast<unsigned char>(c), static_cast<unsigned char>(c)};
    placeByteValues(kFirstFreeCode);
    // Slots from nextCode up are empty; a clear code only has to move nextCode back.
    unsigned nextCode = kFirstFreeCode;
    unsigned width = lzw::kFirstWidth;
    // Every code but the first after a clear extends the string of the code before it.
    unsigned previous = 0;
    uint32_t previousAt = 0;  // output position of the previous code's string

    unsigned code;
    auto readCode = [&](unsigned n) {
        if (bits.count < n) {
            bits = in.end - in.pos >= 8 ? TakeWord(in, bits) : Refill(in, bits);
            if (bits.count < n) return false;
        }
        code = static_cast<unsigned>(bits.word >> (kWordBits - n));
        bits.word <<= n;
        bits.count -= n;
        return true;
    };

    if (!readCode(width)) return DecodeStatus::InputEnded;
    if (code != kClearCode) return DecodeStatus::NoClearCodeFirst;
    for (;;) {
        if (at >= limit) {
            at = window.Flush(at);
            if (!at) return DecodeStatus::OutputFailed;
            placeByteValues(nextCode);
        }
        const uint32_t here = window.base + static_cast<uint32_t>(at - window.buffer);
        if (code < nextCode && code - kClearCode >= 2) {
            // A byte or a defined string: by far the most codes.
            const Entry& e = table_[code];
            if (nextCode == kTableSize) return DecodeStatus::TableFull;
            const Entry& p = table_[previous];
            table_[nextCode] = Entry{previousAt, static_cast<uint16_t>(previous),
                                     static_cast<uint16_t>(p.length + 1), e.first, p.first};
            ++nextCode;
            // lzw::CodeWidth, one step at a time: nextCode grows by one, so the width grows
            // by one bit exactly when nextCode + 1 needs another.
            width += (nextCode + 1) >> width;
            const size_t length = e.length;
            // The earlier copy ends at or before the write position (it ended with the first
            // byte of the code after it), so copying from it never overlaps.
            const uint32_t distance = here - e.position;
            if (distance <= static_cast<size_t>(at - values)) {
                const unsigned char* from = at - distance;
                if (length <= kCopyWidth && distance >= kCopyWidth)
                    std::memcpy(at, from, kCopyWidth);
                else
                    std::memcpy(at, from, length);
            } else {
                // Gone from the window: along the prefixes, from the last byte back.
                unsigned char* p = at + length;
                unsigned c = code;
                do {
                    *--p = table_[c].last;
                    c = table_[c].prefix;
                } while (p != at);
            }
            at += length;
            previous = code;
            previousAt = here;
        } else if (code == kClearCode) {
            // The code after a clear adds no string. A clear there outputs nothing and leaves
            // no previous string, so the code after it is again one that adds none.
            nextCode = kFirstFreeCode;
            width = lzw::kFirstWidth;
            do {
                if (!readCode(width)) return DecodeStatus::InputEnded;
            } while (code == kClearCode);
            if (code == kEndCode) break;
            if (code > 255)
                return code == nextCode ? DecodeStatus::NoPreviousString
                                        : DecodeStatus::CodeOutOfRange;
            *at++ = static_cast<unsigned char>(code);
            previous = code;
            previousAt = here;
        } else if (code == kEndCode) {
            break;
        } else if (code == nextCode) {
            // The code being defined: the previous string and its own first byte. The
            // previous string is the one just written, right before the write position.
            if (nextCode == kTableSize) return DecodeStatus::TableFull;
            const Entry& p = table_[previous];
            const size_t length = p.length;
            table_[nextCode] = Entry{previousAt, static_cast<uint16_t>(previous),
                                     static_cast<uint16_t>(length + 1), p.first, p.first};
            ++nextCode;
            width += (nextCode + 1) >> width;
            std::memcpy(at, at - length, length);
            at[length] = p.first;
            at += length + 1;
            previous = code;
            previousAt = here;
        } else {
            return DecodeStatus::CodeOutOfRange;
        }
        if (!readCode(width)) return DecodeStatus::InputEnded;
    }
    if (at > window.pending &&
        !sink.Write(window.pending, static_cast<size_t>(at - window.pending)))
        return DecodeStatus::OutputFailed;
    return DecodeStatus::Ok;
}

}  // namespace archive
