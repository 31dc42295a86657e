#include "archive/piece_check.h"

#include <gtest/gtest.h>

#include <string>

#include "tavq_bytes.h"

namespace {

using archive::Refusal;

Refusal Head(const std::string& archive, int64_t length = -1) {
    std::string head = archive;
    head.resize(archive::kMinimumArchiveSize, '\0');
    return archive::CheckArchiveHead(reinterpret_cast<const unsigned char*>(head.data()),
                                     length < 0 ? static_cast<int64_t>(archive.size()) : length);
}

TEST(CheckArchiveHead, TheReadersChecksAndANodeThatFitsItsPiece) {
    const std::string stream(100, 's');
    const std::string good = TavqHead() + TavqNodeBytes("name.txt", stream, 5000);
    EXPECT_EQ(Head(good), Refusal::None);
    // More bytes than the node needs are no damage; one fewer is.
    EXPECT_EQ(Head(good, good.size() + 10), Refusal::None);
    EXPECT_EQ(Head(good, good.size() - 1), Refusal::NodeOutside);
    EXPECT_EQ(Head(TavqHead() + TavqNodeBytes("", "")), Refusal::None);
    EXPECT_EQ(Head(good, 37), Refusal::TooShort);
    // The reader's refusals, in the order it makes them.
    EXPECT_EQ(Head(TavqHead(1, 10, "TAVX") + TavqNodeBytes("", "")), Refusal::NotTavq);
    EXPECT_EQ(Head(TavqHead(1, 11) + TavqNodeBytes("", "")), Refusal::NotTheVersion);
    EXPECT_EQ(Head(TavqHead(1, 10, "TAVQ", 0xEF) + TavqNodeBytes("", "")), Refusal::NotNode);
    EXPECT_EQ(Head(TavqHead(1, 10, "TAVQ", 0xEE, 0x91) + TavqNodeBytes("", "")),
              Refusal::NotBeginCompress);
    EXPECT_EQ(Head(TavqHead() + TavqNodeBytes("", "", 0, 0xFE)), Refusal::NotFileHead);
    // A node that claims 4 GB cannot fit any piece.
    std::string huge = TavqHead() + TavqNodeBytes("", "");
    huge[archive::tavq::kFirstNodeOffset + 15] = '\xFF';  // the compressed size's high byte
    EXPECT_EQ(Head(huge, 0x7FFFFFFF), Refusal::NodeOutside);
}

}  // namespace
