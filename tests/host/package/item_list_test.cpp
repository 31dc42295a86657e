#include "package/item_list.h"

#include <gtest/gtest.h>

#include <string>

#include "package/scramble.h"
#include "temp_dir.h"

using package::ItemList;

namespace {
ItemList FromText(const std::string& text) {
    ItemList list;
    list.SetText(text.data(), text.size());
    return list;
}
}  // namespace

TEST(ItemList, AddItemWritesRowsOfTheGivenWidth) {
    ItemList single;
    single.AddItem("a");
    single.AddItem("b");
    EXPECT_EQ(single.text(), std::string("a\x08\r\nb\x08\r\n"));
    size_t length = 0;
    auto copy = single.CopyText(&length);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(copy[8], '\0');

    ItemList wide;
    wide.columnsPerRow = 8;
    for (char c = '1'; c <= '9'; ++c) wide.AddItem(std::string(1, c).c_str());
    EXPECT_EQ(wide.text(), std::string("1\x07"
                                       "2\x07"
                                       "3\x07"
                                       "4\x07"
                                       "5\x07"
                                       "6\x07"
                                       "7\x07"
                                       "8\x08\r\n"
                                       "9\x07"));
}

TEST(ItemList, NextItemReadsAnyMixOfSeparatorsThenEmptyTexts) {
    ItemList list = FromText(
        "a\x07"
        "b\x08\r\n");
    EXPECT_STREQ(list.NextItem(), "a");
    EXPECT_STREQ(list.NextItem(), "b");
    EXPECT_STREQ(list.NextItem(), "");
    EXPECT_STREQ(list.NextItem(), "");

    EXPECT_STREQ(ItemList().NextItem(), "");

    ItemList doubled = FromText(
        "a\x07\x07"
        "c\x07");
    EXPECT_STREQ(doubled.NextItem(), "a");
    EXPECT_STREQ(doubled.NextItem(), "");
    EXPECT_STREQ(doubled.NextItem(), "c");
}

TEST(ItemList, RowEndAtTheVeryEndOfTheText) {
    ItemList list = FromText("a\x08");
    EXPECT_STREQ(list.NextItem(), "a");
    EXPECT_STREQ(list.NextItem(), "");
    EXPECT_STREQ(list.NextItem(), "");
}

TEST(ItemList, ItemWithoutSeparatorIsNeverReturned) {
    ItemList list = FromText("a\x07tail");
    EXPECT_STREQ(list.NextItem(), "a");
    EXPECT_STREQ(list.NextItem(), "");
}

TEST(ItemList, OverlongItemIsCutAtTheBufferRoom) {
    const std::string huge(5000, 'x');
    ItemList list = FromText(huge +
                             "\x07"
                             "next\x07");
    EXPECT_EQ(std::string(list.NextItem()), std::string(ItemList::kItemRoom, 'x'));
    EXPECT_STREQ(list.NextItem(), "next");
}

TEST(ItemList, LoadFromFileUnscramblesAndStopsAtAZeroByte) {
    TempDir dir;
    std::string plain = std::string("one\x07two\x08\r\n") + '\0' + "hidden\x07";
    std::string stored = plain;
    package::ScrambleBlock(reinterpret_cast<unsigned char*>(&stored[0]),
                           static_cast<long>(stored.size()), "wirl.dat");
    WriteBytes(dir.File("block"), stored);

    ItemList list;
    ASSERT_TRUE(list.LoadFromFile(dir.File("block"), "wirl.dat"));
    EXPECT_STREQ(list.text(), "one\x07two\x08\r\n");

    ItemList plainList;
    WriteBytes(dir.File("plain"), "p\x07");
    ASSERT_TRUE(plainList.LoadFromFile(dir.File("plain"), ""));
    EXPECT_STREQ(plainList.NextItem(), "p");

    ItemList missing = FromText("kept\x07");
    EXPECT_FALSE(missing.LoadFromFile(dir.File("absent"), "wirl.dat"));
    EXPECT_STREQ(missing.NextItem(), "kept");
}
