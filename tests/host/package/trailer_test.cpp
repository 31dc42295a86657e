#include "package/trailer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "temp_dir.h"

using package::PackageTrailer;
using package::ReadTrailer;

namespace {
bool TrailerOf(const std::string& bytes, PackageTrailer* trailer) {
    TempDir dir;
    WriteBytes(dir.File("f"), bytes);
    return ReadTrailer(dir.File("f"), trailer);
}
}  // namespace

TEST(Trailer, ReadsTheDocumentedExample) {
    PackageTrailer t;
    ASSERT_TRUE(TrailerOf(std::string(1000, 'M') + "&LEN:3201,SEEK:7651348.", &t));
    EXPECT_EQ(t.length, 3201);
    EXPECT_EQ(t.offset, 7651348);
    EXPECT_EQ(t.trailerOffset, 1000);
}

TEST(Trailer, MustStartInsideTheLast127BytesButNotAtTheFirst) {
    const std::string head = "&LEN:5,SEEK:9.";
    PackageTrailer t;
    // 126 bytes from "&" to the end of the file: found.
    EXPECT_TRUE(TrailerOf(std::string(500, 'x') + head + std::string(126 - head.size(), ' '), &t));
    EXPECT_EQ(t.length, 5);
    // 127 bytes: the "&" is the window's first byte, so there is no trailer.
    EXPECT_FALSE(TrailerOf(std::string(500, 'x') + head + std::string(127 - head.size(), ' '), &t));
    EXPECT_FALSE(TrailerOf(std::string(500, 'x'), &t));
    EXPECT_FALSE(TrailerOf("", &t));
}

TEST(Trailer, FilesShorterThanTheWindow) {
    PackageTrailer t;
    ASSERT_TRUE(TrailerOf("ab&LEN:1,SEEK:0.", &t));
    EXPECT_EQ(t.length, 1);
    EXPECT_EQ(t.trailerOffset, 2);
    EXPECT_FALSE(TrailerOf("&LEN:1,SEEK:0.", &t));  // "&" on the window's first byte
}

TEST(Trailer, TheLastAmpersandWinsAndBytesAfterTheDotAreIgnored) {
    PackageTrailer t;
    ASSERT_TRUE(TrailerOf("xx&LEN:1,SEEK:2.yy&LEN:77,SEEK:88.\r\n", &t));
    EXPECT_EQ(t.length, 77);
    EXPECT_EQ(t.offset, 88);
}

TEST(Trailer, NumbersConvertLikeAtol) {
    auto parse = [](const std::string& text) {
        return package::ParseTrailerText(text.data(), text.size());
    };
    PackageTrailer t = parse("XYZ: -12abc,WHATEVER:+34 .");
    EXPECT_EQ(t.length, -12);
    EXPECT_EQ(t.offset, 34);
    t = parse("LEN:,SEEK:.");
    EXPECT_EQ(t.length, 0);
    EXPECT_EQ(t.offset, 0);
    t = parse("garbage");
    EXPECT_EQ(t.length, 0);
    EXPECT_EQ(t.offset, 0);
    t = parse("LEN:99999999999,SEEK:-99999999999.");
    EXPECT_EQ(t.length, INT32_MAX);
    EXPECT_EQ(t.offset, INT32_MIN);
}

TEST(Trailer, WrittenTrailerIsReadBack) {
    TempDir dir;
    platform::RawFile file;
    ASSERT_TRUE(file.Create(dir.File("u")));
    file.Write("BLOCKBYTES", 10);
    package::WriteTrailer(file, 10, 0);
    file.Close();
    EXPECT_EQ(ReadBytes(dir.File("u")), "BLOCKBYTES&LEN:10,SEEK:0.");
    PackageTrailer t;
    ASSERT_TRUE(ReadTrailer(dir.File("u"), &t));
    EXPECT_EQ(t.length, 10);
    EXPECT_EQ(t.offset, 0);
    EXPECT_FALSE(ReadTrailer(dir.File("missing"), &t));
}
