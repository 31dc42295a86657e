// The format headers the packer shares with the installer, checked against bytes and packages
// written without them (tavq_bytes.h, package_builder.h) and against the installer's loader.
#include <gtest/gtest.h>

#include <string>

#include "archive/tavq_format.h"
#include "package/settings_layout.h"
#include "package/settings_loader.h"
#include "package/words.h"
#include "package_builder.h"
#include "tavq_bytes.h"

namespace {

namespace tavq = archive::tavq;

TEST(TavqFormatTest, ReadsTheFieldsOfAnArchiveWrittenFieldByField) {
    const std::string bytes = TavqHead(3, 7) + TavqNodeBytes("name.txt", "stream", 1234);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const tavq::Header header = tavq::ParseHeader(p);
    EXPECT_TRUE(header.magic);
    EXPECT_EQ(header.version, 7);
    EXPECT_EQ(header.nodeCount, 3u);
    const tavq::BeginMark mark = tavq::ParseBeginMark(p + tavq::kHeaderSize);
    EXPECT_EQ(mark.nodeMark, tavq::kNodeMark);
    EXPECT_EQ(mark.compressMark, tavq::kCompressMark);
    const tavq::NodeHeader node = tavq::ParseNodeHeader(p + tavq::kFirstNodeOffset);
    EXPECT_EQ(node.mark, tavq::kFileHeadMark);
    EXPECT_EQ(node.uncompressedSize, 1234u);
    EXPECT_EQ(node.compressedSize, 6u);
    EXPECT_EQ(node.nameLength, 8u);
    EXPECT_EQ(tavq::kFirstNodeOffset + node.Span(), bytes.size());
    EXPECT_FALSE(
        tavq::ParseHeader(reinterpret_cast<const unsigned char*>(TavqHead(1, 10, "TAVX").data()))
            .magic);
}

TEST(TavqFormatTest, WritesTheBytesAnIndependentWriterWrites) {
    unsigned char head[tavq::kHeaderSize + tavq::kBeginMarkSize];
    tavq::WriteHeader(head, 2);
    tavq::WriteBeginMark(head + tavq::kHeaderSize);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head), sizeof head), TavqHead(2));
    unsigned char node[tavq::kNodeHeaderSize];
    tavq::WriteNodeHeader(node, 70000, 5, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(node), sizeof node),
              TavqNodeBytes("abc", "12345", 70000).substr(0, tavq::kNodeHeaderSize));
}

TEST(TavqFormatTest, VersionsUpToTenWithoutAHighByte) {
    EXPECT_TRUE(tavq::IsKnownVersion(0));
    EXPECT_TRUE(tavq::IsKnownVersion(10));
    EXPECT_FALSE(tavq::IsKnownVersion(11));
    EXPECT_FALSE(tavq::IsKnownVersion(0x010A));
}

// Until the loader takes its words from package/words.h, the two must agree word for word.
TEST(PackageWordsTest, TheLoaderGivesEachStoredWordItsValue) {
    TempDir dir;
    TestPackage pkg;
    pkg.items[package::layout::kShowBackground] = package::words::kTrue;
    pkg.items[package::layout::kBackgroundHasCaption] = package::words::kFalse;
    for (const auto& folder : package::words::kFolderWords)
        for (const auto& overwrite : package::words::kOverwriteWords)
            pkg.AddFile("f", folder.text, "", 0, overwrite.text, 0, 0, true);
    // What the installer takes for the default: any other text, the words in lower case too.
    pkg.AddFile("g", "windows_folder", "", 0, "ask_copy", 0, 0, false);
    pkg.Write(dir.File("setup.exe"));
    package::SetupModel model;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), dir.Folder(), &model),
              package::LoadResult::Loaded);
    EXPECT_EQ(model.showBackground, 1);
    EXPECT_EQ(model.backgroundHasCaption, 0);
    ASSERT_EQ(model.fileList.count, 10);
    const package::FileEntry* entry = model.fileList.first;
    for (const auto& folder : package::words::kFolderWords)
        for (const auto& overwrite : package::words::kOverwriteWords) {
            SCOPED_TRACE(std::string(folder.text) + " " + overwrite.text);
            EXPECT_EQ(entry->folderKind, folder.value);
            EXPECT_EQ(entry->overwriteMode, overwrite.value);
            EXPECT_EQ(entry->compressed, 1);
            EXPECT_EQ(package::words::FolderKindFromWord(folder.text), folder.value);
            EXPECT_EQ(package::words::OverwriteModeFromWord(overwrite.text), overwrite.value);
            entry = entry->next;
        }
    EXPECT_EQ(entry->folderKind, package::words::FolderKindFromWord("windows_folder"));
    EXPECT_EQ(entry->overwriteMode, package::words::OverwriteModeFromWord("ask_copy"));
    EXPECT_EQ(entry->folderKind, package::kFolderInstall);
    EXPECT_EQ(entry->overwriteMode, package::kOverwriteAlways);
    EXPECT_FALSE(package::words::FlagFromWord("True"));
}

TEST(PackageWordsTest, AStoredPathStartsWithItsWholeFolderWord) {
    using package::words::FolderKindFromWord;
    EXPECT_EQ(FolderKindFromWord("WINDOWS_FOLDER\\notepad.exe", 14), package::kFolderWindows);
    EXPECT_EQ(FolderKindFromWord("SYSTEM_FOLDER\\a.dll", 13), package::kFolderSystem);
    // Only the whole word counts: a longer or shorter first level is the install folder's.
    EXPECT_EQ(FolderKindFromWord("WINDOWS_FOLDERS\\x", 15), package::kFolderInstall);
    EXPECT_EQ(FolderKindFromWord("WINDOWS_FOLDER\\x", 7), package::kFolderInstall);
    EXPECT_EQ(FolderKindFromWord("", 0), package::kFolderInstall);
}

}  // namespace
