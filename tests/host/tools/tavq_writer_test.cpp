#include "tools/tavq_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "archive/archive_reader.h"
#include "memory_streams.h"
#include "tavq_bytes.h"

namespace {

archive::ExtractResult DecodeNode(const std::string& archive, uint32_t node, std::string* out) {
    StringSink sink;
    archive::ExtractResult result = archive::DecodeArchiveBytes(
        reinterpret_cast<const unsigned char*>(archive.data()), archive.size(), node, sink);
    *out = sink.bytes;
    return result;
}

TEST(TavqWriter, WritesTheFixedLayout) {
    const std::string archive = sfxpack::BuildTavqArchive({{"ab.txt", "ABABABA"}});
    const std::string stream = "\x80\x10\x48\x50\x28\x24\x04";
    EXPECT_EQ(archive, TavqHead(1) + TavqNodeBytes("ab.txt", stream, 7));
    EXPECT_EQ(archive.size(), 12u + 6 + 20 + 6 + 7);
}

TEST(TavqWriter, EveryNodeReadsBack) {
    std::string big;
    for (unsigned i = 0; i < 100000; ++i) big += static_cast<char>(i * i % 251);
    const std::vector<sfxpack::TavqNode> nodes = {
        {"first.bin", big}, {"", ""}, {"\xCB\xB5\xC3\xF7.txt", "readme\r\n"}, {"one", "1"}};
    const std::string archive = sfxpack::BuildTavqArchive(nodes);
    for (uint32_t i = 0; i < nodes.size(); ++i) {
        std::string out;
        const archive::ExtractResult result = DecodeNode(archive, i, &out);
        ASSERT_TRUE(result.ok()) << i << ": " << result.Reason();
        EXPECT_EQ(result.uncompressedSize, nodes[i].data.size()) << i;
        EXPECT_TRUE(out == nodes[i].data) << i;
    }
    std::string out;
    EXPECT_EQ(DecodeNode(archive, 4, &out).refusal, archive::Refusal::NotFileHead);
}

TEST(TavqWriter, RefusesANameTheHeaderCannotHold) {
    EXPECT_NO_THROW(sfxpack::BuildTavqArchive({{std::string(65535, 'n'), "x"}}));
    EXPECT_THROW(sfxpack::BuildTavqArchive({{std::string(65536, 'n'), "x"}}), std::length_error);
}

}  // namespace
