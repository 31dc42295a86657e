#include "package/scramble.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using package::ScrambleBlock;
using package::UnscrambleBlock;

namespace {
std::vector<unsigned char> AllBytes() {
    std::vector<unsigned char> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

std::vector<unsigned char> Scrambled(std::vector<unsigned char> bytes, const char* key) {
    ScrambleBlock(bytes.data(), static_cast<long>(bytes.size()), key);
    return bytes;
}
}  // namespace

TEST(Scramble, RoundTripsEveryByteValue) {
    const auto plain = AllBytes();
    auto data = Scrambled(plain, "wirl.dat");
    EXPECT_NE(data, plain);
    UnscrambleBlock(data.data(), static_cast<long>(data.size()), "wirl.dat");
    EXPECT_EQ(data, plain);
}

TEST(Scramble, MatchesTheEightFoldXorAndNegation) {
    // Spelled out the long way, once, for a block that starts at every key phase.
    const char key[] = "wirl.dat";
    std::vector<unsigned char> data = AllBytes(), expected = AllBytes();
    for (size_t i = 0; i < expected.size(); ++i) {
        unsigned char b = expected[i];
        for (size_t step = 0, k = i % 8; step < 8; ++step, k = (k + 1) % 8) b ^= key[k];
        expected[i] = static_cast<unsigned char>(256 - b);
    }
    EXPECT_EQ(Scrambled(data, key), expected);
}

TEST(Scramble, EachOutputByteDependsOnlyOnItsInputByte) {
    std::vector<unsigned char> a(64, 'x'), b = a;
    b[17] = 'y';
    const auto sa = Scrambled(a, "wirl.dat"), sb = Scrambled(b, "wirl.dat");
    ASSERT_EQ(sa.size(), 64u);
    for (size_t i = 0; i < sa.size(); ++i) EXPECT_EQ(sa[i] != sb[i], i == 17) << i;
    // A zero byte is data like any other: the bytes after it are scrambled too.
    std::vector<unsigned char> zeros(4, 0);
    EXPECT_EQ(Scrambled(zeros, "wirl.dat")[3], Scrambled(zeros, "wirl.dat")[0]);
}

TEST(Scramble, KeyPreparation) {
    const auto data = AllBytes();
    EXPECT_EQ(Scrambled(data, ""), Scrambled(data, "tolmeric"));
    EXPECT_EQ(Scrambled(data, "ab"), Scrambled(data, "ab      "));
    EXPECT_EQ(Scrambled(data, "wirl.datEXTRA"), Scrambled(data, "wirl.dat"));
    // Only the XOR of the prepared key matters: swapping two key bytes changes nothing.
    EXPECT_EQ(Scrambled(data, "iwrl.dat"), Scrambled(data, "wirl.dat"));
    EXPECT_NE(Scrambled(data, "wirl.dau"), Scrambled(data, "wirl.dat"));
}

TEST(Scramble, NonPositiveLengthLeavesDataAlone) {
    auto data = AllBytes();
    ScrambleBlock(data.data(), 0, "wirl.dat");
    ScrambleBlock(data.data(), -5, "wirl.dat");
    EXPECT_EQ(data, AllBytes());
}
