#include "archive/archive_reader.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "lzw_reference.h"
#include "memory_streams.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "tavq_bytes.h"
#include "temp_dir.h"

namespace {

using archive::ArchiveReader;

const std::string kAbababa = "\x80\x10\x48\x50\x28\x24\x04";

// A stream of `size` bytes of one letter and more: enough output for several sink writes.
std::string LongStream(size_t codes, std::string* expected) {
    StreamBuilder builder;
    builder.Code(256);
    for (size_t i = 0; i < codes; ++i) {
        if (builder.nextCode() >= 4000) builder.Code(256);
        const unsigned code = builder.afterClear() || builder.nextCode() == 258
                                  ? 'k'
                                  : builder.nextCode() - 1;  // the longest string so far
        builder.Code(code);
    }
    builder.Code(257);
    EXPECT_TRUE(ReferenceDecode(builder.bytes(), expected));
    return builder.bytes();
}

class ArchiveReaderTest : public ::testing::Test {
protected:
    void SetUp() override { platform::TakeShownMessages(); }

    // Writes `archive` as a file and extracts `node` from it into out.bin.
    int ExtractFile(const std::string& archive, uint32_t node = 0) {
        WriteBytes(dir.File("a.tavq"), archive);
        return ArchiveReader::ExtractFile(dir.File("a.tavq"), Out(), node, &last);
    }
    TestPath Out() const { return dir.File("out.bin"); }
    // What a caller shows for the last extraction; the reader itself shows nothing.
    std::string Message() {
        EXPECT_TRUE(platform::TakeShownMessages().empty());
        return archive::RefusalText(last.refusal);
    }

    archive::ExtractResult last;
    TempDir dir;
};

TEST_F(ArchiveReaderTest, SmallestArchiveGivesEmptyFile) {
    const std::string archive = TavqHead() + TavqNodeBytes("", "");
    ASSERT_EQ(archive.size(), 38u);
    EXPECT_EQ(ExtractFile(archive), 1);
    EXPECT_TRUE(platform::PathExists(Out()));
    EXPECT_EQ(ReadBytes(Out()), "");
    EXPECT_TRUE(platform::TakeShownMessages().empty());

    EXPECT_EQ(ExtractFile(archive.substr(0, 37)), 0);
    EXPECT_EQ(Message(), "error tavq file");
}

TEST_F(ArchiveReaderTest, RefusalsGiveTheirTextAndCreateNoFile) {
    const std::string node = TavqNodeBytes("a.txt", kAbababa);
    struct Case {
        std::string archive;
        const char* message;
    } cases[] = {
        {TavqHead(1, 10, "TAVX") + node, "not tavq file"},
        {TavqHead(1, 11) + node, "not the version"},
        {TavqHead(1, 0x030A) + node, "not the version"},
        {TavqHead(1, 10, "TAVQ", 0xEF) + node, "not tavq file node"},
        {TavqHead(1, 10, "TAVQ", 0xEE, 0x91) + node, "not begin compress"},
        {TavqHead() + TavqNodeBytes("a.txt", kAbababa, 7, 0xFE), "not tavq single file head"},
        {std::string(37, 'T'), "error tavq file"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFile(c.archive), 0) << c.message;
        EXPECT_EQ(Message(), c.message);
        EXPECT_FALSE(platform::PathExists(Out())) << c.message;
    }
    EXPECT_EQ(ArchiveReader::ExtractFile(dir.File("missing.tavq"), Out(), 0, &last), 0);
    EXPECT_EQ(Message(), "error tavq file");
}

TEST_F(ArchiveReaderTest, VersionsUpToTenAreAccepted) {
    for (uint16_t version : {0, 1, 9, 10}) {
        EXPECT_EQ(ExtractFile(TavqHead(1, version) + TavqNodeBytes("a", kAbababa)), 1) << version;
        EXPECT_EQ(ReadBytes(Out()), "ABABABA");
    }
}

TEST_F(ArchiveReaderTest, FillerReservedAndNodeCountAreNotChecked) {
    std::string archive = TavqHead(/*nodeCount=*/0) + TavqNodeBytes("name", kAbababa, 12345);
    archive[6] = archive[7] = 0x11;              // header filler
    archive[16] = archive[17] = '\x22';          // begin mark reserved
    archive[18 + 2] = archive[18 + 3] = 0x33;    // node filler
    archive[18 + 4] = '\x44';                    // node reserved
    archive[18 + 18] = archive[18 + 19] = 0x55;  // node filler after the name length
    EXPECT_EQ(ExtractFile(archive), 1);
    EXPECT_EQ(ReadBytes(Out()), "ABABABA");
}

TEST_F(ArchiveReaderTest, LaterNodeSkipsHeaderNameAndData) {
    std::string expected;
    const std::string archive =
        TavqHead(3) + TavqNodeBytes("first.bin", LongStream(500, &expected)) +
        TavqNodeBytes("", kAbababa) +
        TavqNodeBytes("third-with-a-long-name", kAbababa.substr(0, 5) + "\x04");
    EXPECT_EQ(ExtractFile(archive, 0), 1);
    EXPECT_EQ(ReadBytes(Out()), expected);
    EXPECT_EQ(ExtractFile(archive, 1), 1);
    EXPECT_EQ(ReadBytes(Out()), "ABABABA");
    // Past the last node the reader finds no node mark, and leaves the file there alone.
    platform::RemoveFile(Out());
    EXPECT_EQ(ExtractFile(archive, 3), 0);
    EXPECT_EQ(Message(), "not tavq single file head");
    EXPECT_FALSE(platform::PathExists(Out()));
}

TEST_F(ArchiveReaderTest, OutputNameIsTheCallersNotTheStoredOne) {
    EXPECT_EQ(ExtractFile(TavqHead() + TavqNodeBytes("unwise.exe", kAbababa)), 1);
    EXPECT_FALSE(platform::PathExists(dir.File("unwise.exe")));
    EXPECT_EQ(ReadBytes(Out()), "ABABABA");
}

TEST_F(ArchiveReaderTest, DamagedStreamReturnsZeroAndLeavesNoFile) {
    std::string expected;
    std::string stream = LongStream(30000, &expected);
    stream.resize(stream.size() - 2);  // no end code: output is written before the damage shows
    WriteBytes(Out(), "older contents");
    EXPECT_EQ(ExtractFile(TavqHead() + TavqNodeBytes("x", stream)), 0);
    EXPECT_EQ(Message(), "error tavq file");
    EXPECT_FALSE(platform::PathExists(Out()));
}

TEST_F(ArchiveReaderTest, EmbeddedArchiveIsFoundAtItsOffsetSilently) {
    const std::string archive = TavqHead() + TavqNodeBytes("a", kAbababa);
    const std::string container = std::string(1000, 'M') + archive + std::string(10, 'Z');
    WriteBytes(dir.File("setup.exe"), container);
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("setup.exe"), Out(), 1000,
                                             static_cast<int64_t>(archive.size()), 0),
              1);
    EXPECT_EQ(ReadBytes(Out()), "ABABABA");
    platform::RemoveFile(Out());

    // 37 bytes is too short even when a valid archive lies there; other offsets find no magic.
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("setup.exe"), Out(), 1000, 37, 0), 0);
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("setup.exe"), Out(), 999, 100, 0), 0);
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("setup.exe"), Out(), -5, 100, 0), 0);
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("setup.exe"), Out(), 5000, 100, 0), 0);
    EXPECT_EQ(ArchiveReader::ExtractEmbedded(dir.File("none.exe"), Out(), 0, 100, 0), 0);
    EXPECT_FALSE(platform::PathExists(Out()));
    EXPECT_TRUE(platform::TakeShownMessages().empty());
}

TEST_F(ArchiveReaderTest, DecodeEmbeddedReportsWhy) {
    const std::string good = TavqHead() + TavqNodeBytes("a", kAbababa);
    WriteBytes(dir.File("c.bin"), "xx" + good + TavqHead(1, 12));
    StringSink sink;
    archive::ExtractResult result =
        archive::DecodeEmbedded(dir.File("c.bin"), 2, static_cast<int64_t>(good.size()), 0, sink);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(sink.bytes, "ABABABA");
    EXPECT_EQ(result.compressedSize, kAbababa.size());

    result = archive::DecodeEmbedded(dir.File("c.bin"), 2 + static_cast<int64_t>(good.size()), 38,
                                     0, sink);
    EXPECT_EQ(result.refusal, archive::Refusal::NotTheVersion);
    EXPECT_STREQ(result.Reason(), "not the version");

    const std::string broken = TavqHead() + TavqNodeBytes("a", std::string("\x41\x00\x00\x00", 4));
    result = archive::DecodeArchiveBytes(reinterpret_cast<const unsigned char*>(broken.data()),
                                         broken.size(), 0, sink);
    EXPECT_EQ(result.refusal, archive::Refusal::BadStream);
    EXPECT_EQ(result.stream, archive::DecodeStatus::NoClearCodeFirst);
    EXPECT_STREQ(result.Reason(), "the stream does not begin with a clear code");
}

// A write that fails (here: past the process's file size limit, as on a full disk) ends the
// extraction with the system's reason and no message, and the partial output is gone.
TEST_F(ArchiveReaderTest, FailedWriteRemovesPartialOutput) {
    std::string expected;
    const std::string archive = TavqHead() + TavqNodeBytes("x", LongStream(60000, &expected));
    ASSERT_GT(expected.size(), 300000u);
    WriteBytes(dir.File("big.tavq"), archive);

    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 200000;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    archive::ExtractResult result;
    const int extracted = ArchiveReader::ExtractFile(dir.File("big.tavq"), Out(), 0, &result);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(extracted, 0);
    EXPECT_EQ(result.refusal, archive::Refusal::CannotWrite);
    EXPECT_EQ(result.error, static_cast<platform::ErrorCode>(EFBIG));
    EXPECT_FALSE(platform::PathExists(Out()));
    EXPECT_TRUE(platform::TakeShownMessages().empty());
}

}  // namespace
