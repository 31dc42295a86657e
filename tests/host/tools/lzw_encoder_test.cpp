#include "tools/lzw_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "archive/lzw_decoder.h"
#include "lzw_reference.h"
#include "memory_streams.h"

namespace {

std::string Encode(const std::string& data) {
    return sfxpack::LzwEncode(reinterpret_cast<const unsigned char*>(data.data()), data.size());
}

// Decodes with the installer's decoder and with the plain one; both must give `data` back.
void ExpectRoundTrip(const std::string& data, const char* what,
                     unsigned* highestNextCode = nullptr) {
    const std::string stream = Encode(data);
    ASSERT_GE(stream.size(), 2u) << what;
    // A clear code first: the nine bits 1 0000 0000.
    EXPECT_EQ(static_cast<unsigned char>(stream[0]), 0x80) << what;
    EXPECT_EQ(static_cast<unsigned char>(stream[1]) & 0x80, 0) << what;

    StringSource source(stream);
    StringSink sink;
    archive::LzwDecoder decoder;
    ASSERT_EQ(decoder.Decode(static_cast<uint32_t>(stream.size()), source, sink),
              archive::DecodeStatus::Ok)
        << what;
    EXPECT_TRUE(sink.bytes == data)
        << what << ": " << sink.bytes.size() << " bytes back of " << data.size();

    std::string plain;
    unsigned highest = 0;
    ASSERT_TRUE(ReferenceDecode(stream, &plain, &highest)) << what;
    EXPECT_TRUE(plain == data) << what;
    // Cleared at 4092 at the latest: every code fits in 12 bits.
    EXPECT_LE(highest, 4092u) << what;
    if (highestNextCode) *highestNextCode = highest;
}

std::string RandomBytes(size_t size, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 random(seed);
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(random() % alphabet);
    return s;
}

TEST(LzwEncoder, SmallInputsRoundTrip) {
    ExpectRoundTrip("", "empty");
    EXPECT_EQ(Encode(""), std::string("\x80\x40\x40", 3));  // ClearCode, EndCode, zero bits
    ExpectRoundTrip("A", "one byte");
    ExpectRoundTrip(std::string(1, '\0'), "one zero byte");
    ExpectRoundTrip("ABABABA", "the worked example");
    ExpectRoundTrip("aa", "a repeated byte");
    ExpectRoundTrip("aaa", "the code being defined");
}

TEST(LzwEncoder, WritesTheWorkedExample) {
    EXPECT_EQ(Encode("ABABABA"), "\x80\x10\x48\x50\x28\x24\x04");
}

// Inputs cut where the table reaches each width boundary and the clear point, so that the last
// code and the end code fall on either side of every change.
TEST(LzwEncoder, EveryWidthAndEveryBoundaryRoundTrips) {
    const std::string random = RandomBytes(20000, 1);
    for (size_t boundary : {253u, 254u, 255u, 256u, 765u, 766u, 767u, 768u, 1789u, 1790u, 1791u,
                            3834u, 3835u, 3836u, 3837u, 3838u, 7700u})
        for (size_t extra : {0u, 1u, 2u})
            ExpectRoundTrip(random.substr(0, boundary + extra), "random prefix");
}

TEST(LzwEncoder, LongInputsClearManyTimes) {
    unsigned highest = 0;
    ExpectRoundTrip(RandomBytes(300000, 2), "random bytes", &highest);
    EXPECT_EQ(highest, 4092u);
    ExpectRoundTrip(RandomBytes(2000000, 3, 4), "four letters", &highest);
    EXPECT_EQ(highest, 4092u);
    std::string text;
    for (int i = 0; text.size() < 1500000; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + ": the quick brown fox\n";
    ExpectRoundTrip(text, "text");
}

TEST(LzwEncoder, LongRunsOfOneByte) {
    for (size_t size : {2u, 3u, 100u, 4096u, 100000u, 3000000u})
        ExpectRoundTrip(std::string(size, '\xFF'), "run of 0xFF");
    std::string runs;
    for (int i = 0; i < 200; ++i)
        runs += std::string(static_cast<size_t>(i * 37 % 5000), static_cast<char>(i));
    ExpectRoundTrip(runs, "runs of every length");
}

}  // namespace
