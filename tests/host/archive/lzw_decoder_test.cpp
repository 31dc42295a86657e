#include "archive/lzw_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "lzw_reference.h"
#include "memory_streams.h"

namespace {

using archive::DecodeStatus;
using archive::LzwDecoder;

DecodeStatus Decode(const std::string& stream, std::string* out, size_t piece = SIZE_MAX,
                    uint32_t compressedSize = UINT32_MAX) {
    StringSource source(stream, piece);
    StringSink sink;
    LzwDecoder decoder;
    const DecodeStatus status = decoder.Decode(
        compressedSize == UINT32_MAX ? static_cast<uint32_t>(stream.size()) : compressedSize,
        source, sink);
    *out = sink.bytes;
    return status;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(LzwDecoder, WorkedExampleDecodesToAbabab) {
    std::string out;
    ASSERT_EQ(Decode(Bytes({0x80, 0x10, 0x48, 0x50, 0x28, 0x24, 0x04}), &out), DecodeStatus::Ok);
    EXPECT_EQ(out, "ABABABA");
}

// Literal codes only: every one after the first adds a string, so the table grows by one per
// code and the width must change exactly where the decoder's rule says.
TEST(LzwDecoder, WidthGrowsAtNextCode511And1023And2047) {
    for (unsigned boundary : {511u, 1023u, 2047u}) {
        StreamBuilder builder;
        builder.Code(256);
        std::string expected;
        for (unsigned i = 0; builder.nextCode() < boundary + 2; ++i) {
            builder.Code('a' + i % 26);
            expected.push_back(static_cast<char>('a' + i % 26));
        }
        builder.Code(257);
        std::string out;
        ASSERT_EQ(Decode(builder.bytes(), &out), DecodeStatus::Ok) << boundary;
        EXPECT_EQ(out, expected) << boundary;

        // Writing the same codes with the classic rule (one code later) must not decode.
        CodeWriter classic;
        classic.Put(256, 9);
        unsigned next = 258;
        for (size_t i = 0; i < expected.size(); ++i) {
            unsigned width = 9;
            while (next >> width) ++width;
            classic.Put(static_cast<unsigned char>(expected[i]), width);
            if (i > 0) ++next;
        }
        std::string wrong;
        Decode(classic.bytes(), &wrong);
        EXPECT_NE(wrong, expected) << boundary;
    }
}

TEST(LzwDecoder, CodeAfterClearIsNineBitsEvenFromTwelveBitWidth) {
    StreamBuilder builder;
    builder.Code(256);
    std::string expected;
    while (builder.nextCode() < 3000) {
        builder.Code('x');
        expected += 'x';
    }
    builder.Code(256);  // read with 12 bits
    builder.Code('y');  // read with 9 bits
    builder.Code('z');
    builder.Code(258);  // "yz", defined by the code before
    builder.Code(257);
    std::string out;
    ASSERT_EQ(Decode(builder.bytes(), &out), DecodeStatus::Ok);
    EXPECT_EQ(out, expected + "yzyz");
}

TEST(LzwDecoder, ClearCodeCases) {
    struct Case {
        const char* what;
        std::vector<unsigned> codes;
        std::string output;
    } cases[] = {
        {"end right after clear", {256, 257}, ""},
        {"end right after a later clear", {256, 'a', 'b', 256, 257}, "ab"},
        // The second clear is the code after a clear: nothing out, no previous string; so 'b'
        // adds no string and 258 is then "bc", not "ab".
        {"two clears in a row", {256, 'a', 256, 256, 'b', 'c', 258, 257}, "abcbc"},
        {"three clears in a row", {256, 256, 256, 'q', 257}, "q"},
        {"empty slot: KwKwK", {256, 'a', 258, 259, 257}, "aaaaaa"},
    };
    for (const Case& c : cases) {
        StreamBuilder builder;
        for (unsigned code : c.codes) builder.Code(code);
        std::string out;
        EXPECT_EQ(Decode(builder.bytes(), &out), DecodeStatus::Ok) << c.what;
        EXPECT_EQ(out, c.output) << c.what;
        std::string reference;
        EXPECT_TRUE(ReferenceDecode(builder.bytes(), &reference)) << c.what;
        EXPECT_EQ(reference, c.output) << c.what;
    }
}

TEST(LzwDecoder, MalformedStreamsFail) {
    struct Case {
        const char* what;
        std::vector<unsigned> codes;
        DecodeStatus status;
    } cases[] = {
        {"literal first", {'a', 257}, DecodeStatus::NoClearCodeFirst},
        {"end code first", {257}, DecodeStatus::NoClearCodeFirst},
        {"no end code", {256, 'a', 'b'}, DecodeStatus::InputEnded},
        {"nothing after clear", {256}, DecodeStatus::InputEnded},
        {"code above the next free one", {256, 'a', 'b', 260, 257}, DecodeStatus::CodeOutOfRange},
        {"new code right after clear", {256, 258, 257}, DecodeStatus::NoPreviousString},
        {"undefined code right after clear", {256, 300, 257}, DecodeStatus::CodeOutOfRange},
        {"new code after two clears", {256, 256, 258, 257}, DecodeStatus::NoPreviousString},
    };
    for (const Case& c : cases) {
        StreamBuilder builder;
        for (unsigned code : c.codes) builder.Code(code);
        std::string out;
        EXPECT_EQ(Decode(builder.bytes(), &out), c.status) << c.what;
    }
    std::string out;
    EXPECT_EQ(Decode("", &out), DecodeStatus::InputEnded);
    EXPECT_EQ(Decode(std::string(1, '\x80'), &out), DecodeStatus::InputEnded);
}

// Past code 4095 there is no slot: after 4095 is defined only a clear or the end may follow.
TEST(LzwDecoder, FullTableAcceptsOnlyClearOrEnd) {
    auto fill = [](StreamBuilder* builder) {
        builder->Code(256);
        while (builder->nextCode() < 4096) builder->Code('a');
    };
    for (unsigned last : {256u, 257u, unsigned('a'), 4000u, 4096u}) {
        StreamBuilder builder;
        fill(&builder);
        builder.Code(last);  // read with 13 bits
        if (last == 256) builder.Code('b');
        if (last != 257) builder.Code(257);
        std::string out, reference;
        const bool referenceOk = ReferenceDecode(builder.bytes(), &reference);
        const DecodeStatus status = Decode(builder.bytes(), &out);
        if (last == 256 || last == 257) {
            EXPECT_EQ(status, DecodeStatus::Ok) << last;
            EXPECT_TRUE(referenceOk);
            EXPECT_EQ(out, reference);
        } else {
            EXPECT_EQ(status, DecodeStatus::TableFull) << last;
        }
    }
}

TEST(LzwDecoder, ReadsNoMoreThanCompressedSizeAndIgnoresBitsAfterEnd) {
    const std::string example = Bytes({0x80, 0x10, 0x48, 0x50, 0x28, 0x24, 0x04});
    // Garbage after the end code, and beyond compressedSize, is never looked at.
    StringSource source(example + std::string(5000, '\xFF'));
    StringSink sink;
    LzwDecoder decoder;
    ASSERT_EQ(decoder.Decode(static_cast<uint32_t>(example.size()), source, sink),
              DecodeStatus::Ok);
    EXPECT_EQ(sink.bytes, "ABABABA");
    EXPECT_LE(source.requested, example.size());

    // One byte short: the end code is cut.
    std::string out;
    EXPECT_EQ(Decode(example, &out, SIZE_MAX, static_cast<uint32_t>(example.size() - 1)),
              DecodeStatus::InputEnded);
    // A source that ends before compressedSize is a cut stream, not a source of zeros.
    EXPECT_EQ(Decode(example.substr(0, 5), &out, SIZE_MAX, 1000), DecodeStatus::InputEnded);
}

// Random streams that keep the format's rules: literals, defined codes, the code being
// defined, clears (also twice in a row) and a table that fills up. The decoder must give what
// the plain decoder gives, whatever sizes the source hands out.
TEST(LzwDecoder, AgreesWithPlainDecoderOnRandomStreams) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 60; ++round) {
        StreamBuilder builder;
        builder.Code(256);
        const int codes = 1 + static_cast<int>(random() % 20000);
        const unsigned clearPercent = round % 3 == 0 ? 0 : 1 + random() % 3;
        const bool fewLiterals = round % 2 == 0;
        for (int i = 0; i < codes; ++i) {
            const unsigned pick = random() % 100;
            if (builder.nextCode() == 4096 || pick < clearPercent) {
                builder.Code(256);
            } else if (builder.afterClear() || !builder.hasPrevious() || pick < 40) {
                builder.Code(fewLiterals ? 'a' + random() % 3 : random() % 256);
            } else if (pick < 50) {
                builder.Code(builder.nextCode());
            } else {
                const unsigned defined = builder.nextCode() - 258;
                builder.Code(defined ? 258 + random() % defined : random() % 256);
            }
        }
        builder.Code(257);
        std::string reference;
        ASSERT_TRUE(ReferenceDecode(builder.bytes(), &reference)) << round;
        std::string out;
        const size_t piece = round % 4 == 0 ? 1 + random() % 13 : SIZE_MAX;
        ASSERT_EQ(Decode(builder.bytes(), &out, piece), DecodeStatus::Ok) << round;
        ASSERT_EQ(out.size(), reference.size()) << round;
        ASSERT_TRUE(out == reference) << round;
    }
}

// Megabytes of output, so that strings are copied from before and after every move of the
// decoder's output window, and from copies that have left it.
TEST(LzwDecoder, AgreesWithPlainDecoderAcrossLongOutputs) {
    std::mt19937 random(99);
    for (int round = 0; round < 4; ++round) {
        StreamBuilder builder;
        builder.Code(256);
        for (int i = 0; i < 150000; ++i) {
            const unsigned pick = random() % 100;
            const unsigned defined = builder.nextCode() - 258;
            if (builder.nextCode() == 4096 || random() % 3000 == 0) {
                builder.Code(256);
            } else if (builder.afterClear() || !builder.hasPrevious() || defined == 0 || pick < 5) {
                builder.Code(random() % 256);
            } else if (pick < 50) {
                builder.Code(builder.nextCode());
            } else if (pick < 80) {
                builder.Code(builder.nextCode() - 1 - random() % std::min(defined, 20u));
            } else {
                builder.Code(258 + random() % defined);
            }
        }
        builder.Code(257);
        std::string reference;
        ASSERT_TRUE(ReferenceDecode(builder.bytes(), &reference));
        ASSERT_GT(reference.size(), 1000000u);
        std::string out;
        ASSERT_EQ(Decode(builder.bytes(), &out, round % 2 ? 1000 : SIZE_MAX), DecodeStatus::Ok);
        ASSERT_EQ(out.size(), reference.size()) << round;
        EXPECT_TRUE(out == reference) << round;
    }
}

// Whatever the bytes, the decoder stops inside its buffers (the sanitizers watch) and never
// reports success where the plain decoder finds the stream broken.
TEST(LzwDecoder, RandomBytesNeverOverrun) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string stream(1 + random() % 300, '\0');
        for (char& c : stream) c = static_cast<char>(random());
        stream[0] = '\x80';  // a clear code first, so decoding gets going
        stream[1] = static_cast<char>(stream[1] & 0x7F);
        std::string out, reference;
        const bool referenceOk = ReferenceDecode(stream, &reference);
        const DecodeStatus status = Decode(stream, &out);
        EXPECT_EQ(status == DecodeStatus::Ok, referenceOk) << round;
        if (referenceOk) {
            EXPECT_EQ(out, reference) << round;
        }
    }
}

}  // namespace
