#include "package/uninstaller_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package_builder.h"
#include "temp_dir.h"

using package::UninstallerBlock;
using package::UninstallerBlockResult;

namespace {
// Nine items, eight a row, spelled out byte by byte.
std::string PlainNine(const std::vector<std::string>& items) {
    std::string block;
    for (size_t i = 0; i < items.size(); ++i)
        block += items[i] + (i == 7 ? std::string("\x08\x0D\x0A") : std::string("\x07"));
    return block;
}

const std::vector<std::string> kItems = {"演示程序",     "40000", "53248",         "766", "93248",
                                         "卸载演示程序", "",      "确实要卸载吗?", "4"};

// unwise.exe as the installer leaves it: program, picture, icon, block, trailer.
std::string UnwiseFile(const std::string& plainBlock, const std::string& afterTrailer = "") {
    const std::string block = ScrambledByHand(plainBlock);
    const std::string program = "MZ" + std::string(53246, '\x90');
    const std::string pieces = std::string(40000, 'P') + std::string(766, 'I');
    return program + pieces + block + "&LEN:" + std::to_string(block.size()) +
           ",SEEK:" + std::to_string(program.size() + pieces.size()) + "." + afterTrailer;
}

UninstallerBlockResult Parse(const std::string& plain, int64_t blockOffset,
                             UninstallerBlock* block) {
    return package::ParseUninstallerBlock(plain.data(), plain.size(), blockOffset, block);
}

UninstallerBlockResult ReadFile(const std::string& bytes, UninstallerBlock* block) {
    TempDir dir;
    WriteBytes(dir.File("unwise.exe"), bytes);
    return package::ReadUninstallerBlock(dir.File("unwise.exe"), block);
}
}  // namespace

TEST(UninstallerBlock, ReadsEveryItemOfAWrittenFile) {
    UninstallerBlock block;
    package::PackageTrailer trailer;
    TempDir dir;
    WriteBytes(dir.File("unwise.exe"), UnwiseFile(PlainNine(kItems)));
    ASSERT_EQ(package::ReadUninstallerBlock(dir.File("unwise.exe"), &block, &trailer),
              UninstallerBlockResult::Loaded);
    EXPECT_STREQ(block.appName, "演示程序");
    EXPECT_EQ(block.pictureLength, 40000);
    EXPECT_EQ(block.pictureOffset, 53248);
    EXPECT_EQ(block.iconLength, 766);
    EXPECT_EQ(block.iconOffset, 93248);
    EXPECT_STREQ(block.texts[0], "卸载演示程序");
    EXPECT_STREQ(block.texts[1], "");  // an empty item in the middle is an item, not the end
    EXPECT_STREQ(block.texts[2], "确实要卸载吗?");
    EXPECT_STREQ(block.texts[3], "4");
    EXPECT_EQ(trailer.offset, 94014);
    EXPECT_EQ(trailer.length, static_cast<int32_t>(PlainNine(kItems).size()));
}

TEST(UninstallerBlock, BuildsTheLayoutTheReadersExpect) {
    UninstallerBlock block;
    std::strcpy(block.appName, "演示程序");
    block.pictureLength = 0;
    block.pictureOffset = 53248;
    block.iconLength = 0;
    block.iconOffset = 53248;
    std::strcpy(block.texts[0], "a");
    std::strcpy(block.texts[3], "d");
    package::ItemList items;
    ASSERT_TRUE(package::BuildUninstallerBlock(block, &items));
    EXPECT_EQ(std::string(items.text(), items.size()),
              PlainNine({"演示程序", "0", "53248", "0", "53248", "a", "", "", "d"}));
}

TEST(UninstallerBlock, EveryCutOfTheBlockIsRefused) {
    const std::string plain = PlainNine(kItems);
    for (size_t length = 0; length < plain.size(); ++length) {
        UninstallerBlock block;
        EXPECT_EQ(Parse(plain.substr(0, length), 94014, &block),
                  UninstallerBlockResult::NotNineItems)
            << "cut to " << length << " bytes";
    }
    // A file cut inside its block has lost its trailer.
    const std::string file = UnwiseFile(plain);
    UninstallerBlock block;
    EXPECT_EQ(ReadFile(file.substr(0, file.size() - 30), &block),
              UninstallerBlockResult::NoTrailer);
}

TEST(UninstallerBlock, DamagedBlocksAreRefusedWithTheirReason) {
    UninstallerBlock block;
    std::vector<std::string> items = kItems;
    items.push_back("tenth");
    EXPECT_EQ(Parse(PlainNine(items), 94014, &block), UninstallerBlockResult::NotNineItems);
    // A package's settings: 64 items and a file entry.
    TestPackage package;
    package.AddFile("a.txt", "INSTALL_FOLDER", "", 0, "", 1, 0, false);
    EXPECT_EQ(Parse(package.PlainBlock(), 94014, &block), UninstallerBlockResult::NotNineItems);
    // A zero byte cannot stand in any item.
    std::string zero = PlainNine(kItems);
    zero[2] = '\0';
    EXPECT_EQ(Parse(zero, 94014, &block), UninstallerBlockResult::NotNineItems);

    for (const char* number : {"", "12a", "-1", " 7", "+7", "2147483648", "99999999999"}) {
        items = kItems;
        items[3] = number;
        EXPECT_EQ(Parse(PlainNine(items), 94014, &block), UninstallerBlockResult::BadNumber)
            << "icon length \"" << number << "\"";
    }
    items = kItems;
    items[3] = "2147483647";
    items[4] = "0";
    EXPECT_EQ(Parse(PlainNine(items), INT64_C(1) << 32, &block), UninstallerBlockResult::Loaded);

    // The icon's last byte on the block's first: it would overlap the block.
    EXPECT_EQ(Parse(PlainNine(kItems), 94013, &block), UninstallerBlockResult::PieceOutside);
    EXPECT_EQ(Parse(PlainNine(kItems), 94014, &block), UninstallerBlockResult::Loaded);
    // A piece of length 0 may point anywhere: it is not there.
    items = kItems;
    items[1] = "0";
    items[2] = "999999";
    EXPECT_EQ(Parse(PlainNine(items), 94014, &block), UninstallerBlockResult::Loaded);
}

TEST(UninstallerBlock, TrailerAndScramblingFaultsInTheFile) {
    UninstallerBlock block;
    // The block left plain: unscrambling turns its separators into other bytes.
    const std::string plain = PlainNine(kItems);
    const std::string unscrambled =
        "MZ" + plain + "&LEN:" + std::to_string(plain.size()) + ",SEEK:2.";
    EXPECT_NE(ReadFile(unscrambled, &block), UninstallerBlockResult::Loaded);
    // A trailer that points past itself or at nothing.
    EXPECT_EQ(ReadFile("MZ" + std::string(100, 'x') + "&LEN:50,SEEK:90.", &block),
              UninstallerBlockResult::BadTrailer);
    EXPECT_EQ(ReadFile("MZ&LEN:0,SEEK:2.", &block), UninstallerBlockResult::BadTrailer);
    EXPECT_EQ(ReadFile("MZ no trailer here", &block), UninstallerBlockResult::NoTrailer);
    // A line end after the trailer does not move it.
    EXPECT_EQ(ReadFile(UnwiseFile(plain, "\r\n"), &block), UninstallerBlockResult::Loaded);
}
