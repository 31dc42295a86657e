#include "package/number.h"
#include "package/words.h"
#include "platform/gbk.h"

#include <gtest/gtest.h>

using package::ParseNumber;

TEST(Number, ConvertsLikeAtol) {
    EXPECT_EQ(ParseNumber("42"), 42);
    EXPECT_EQ(ParseNumber("  \t-17xyz"), -17);
    EXPECT_EQ(ParseNumber("+8"), 8);
    EXPECT_EQ(ParseNumber(""), 0);
    EXPECT_EQ(ParseNumber("abc"), 0);
    EXPECT_EQ(ParseNumber("- 5"), 0);
    EXPECT_EQ(ParseNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseNumber("4294967296"), INT32_MAX);
    EXPECT_EQ(ParseNumber("99999999999999999999999"), INT32_MAX);
}

TEST(Number, FlagsAreTheExactWordTrue) {
    EXPECT_TRUE(package::words::FlagFromWord("TRUE"));
    EXPECT_FALSE(package::words::FlagFromWord("True"));
    EXPECT_FALSE(package::words::FlagFromWord("TRUE "));
    EXPECT_FALSE(package::words::FlagFromWord("1"));
}

TEST(GbkCopy, FitsOrCutsAtACharacterBoundary) {
    auto CopyField = [](char* field, size_t room, const char* text) {
        gbk::Copy(field, room, text);
    };
    char field[6];
    CopyField(field, sizeof field, "abc");
    EXPECT_STREQ(field, "abc");
    CopyField(field, sizeof field, "abcdefgh");
    EXPECT_STREQ(field, "abcde");
    CopyField(field, sizeof field, "a\xB0\xB2\xB0\xB2");  // 5 bytes: fits exactly
    EXPECT_STREQ(field, "a\xB0\xB2\xB0\xB2");
    CopyField(field, sizeof field, "ab\xB0\xB2\xB0\xB2");  // the second character would be cut
    EXPECT_STREQ(field, "ab\xB0\xB2");
    CopyField(field, sizeof field, "abcd\xB0");  // a stray lead byte at the end is kept as is
    EXPECT_STREQ(field, "abcd\xB0");
}
