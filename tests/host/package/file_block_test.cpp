#include "platform/file_block.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

using platform::ReadFileBlock;

namespace {
// Copies into a new file at `destination`, as the loader copies into its temporary file.
bool CopyFileRange(const char* destination, const char* source, int64_t offset, int64_t count) {
    platform::RawFile out;
    return out.Create(destination) && platform::CopyFileRange(out, source, offset, count);
}
}  // namespace

TEST(CopyFileRange, CopiesTheRequestedRange) {
    TempDir dir;
    std::string source(10000, '\0');
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>(i * 7);
    WriteBytes(dir.File("src"), source);

    ASSERT_TRUE(CopyFileRange(dir.File("a"), dir.File("src"), 100, 5000));
    EXPECT_EQ(ReadBytes(dir.File("a")), source.substr(100, 5000));
    ASSERT_TRUE(CopyFileRange(dir.File("b"), dir.File("src"), 4097, -1));
    EXPECT_EQ(ReadBytes(dir.File("b")), source.substr(4097));
    WriteBytes(dir.File("c"), "old contents");
    ASSERT_TRUE(CopyFileRange(dir.File("c"), dir.File("src"), 3, 0));
    EXPECT_EQ(ReadBytes(dir.File("c")), "");
}

TEST(CopyFileRange, ReportsWhatCannotBeDone) {
    TempDir dir;
    WriteBytes(dir.File("src"), "0123456789");
    EXPECT_FALSE(CopyFileRange(dir.File("out"), dir.File("missing"), 0, -1));
    EXPECT_FALSE(CopyFileRange(dir.File("no/such/folder"), dir.File("src"), 0, -1));
    // A source that ends early stops the copy instead of waiting, and says so.
    EXPECT_FALSE(CopyFileRange(dir.File("short"), dir.File("src"), 4, 100));
    EXPECT_EQ(ReadBytes(dir.File("short")), "456789");
}

TEST(ReadFileBlock, ReadsAPieceWithASpareZeroByte) {
    TempDir dir;
    WriteBytes(dir.File("f"), "0123456789");
    int64_t length = 4;
    auto block = ReadFileBlock(dir.File("f"), &length, 3);
    ASSERT_TRUE(block);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.get())), "3456");

    length = -1;
    block = ReadFileBlock(dir.File("f"), &length, 6);
    ASSERT_TRUE(block);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.get())), "6789");
}

TEST(ReadFileBlock, NoBufferForMissingFilesOrShortPieces) {
    TempDir dir;
    WriteBytes(dir.File("f"), "0123456789");
    int64_t length = 4;
    EXPECT_FALSE(ReadFileBlock(dir.File("missing"), &length, 0));
    length = 20;
    EXPECT_FALSE(ReadFileBlock(dir.File("f"), &length, 0));
    length = 4;
    EXPECT_FALSE(ReadFileBlock(dir.File("f"), &length, -2));
    length = 0x7FFFFFFF;
    EXPECT_FALSE(ReadFileBlock(dir.File("f"), &length, 0));
}

namespace {

// The POSIX side of the check every placed file passes: a link on the way out of the folder is
// told through the new file's own descriptor.
TEST(WholeFile, NothingIsPlacedThroughALinkOutOfItsFolder) {
    TempDir dir;
    const std::string base = dir.File("base");
    std::filesystem::create_directories(base + "/real");
    std::filesystem::create_directory(dir.File("outside"));
    std::filesystem::create_directory_symlink(dir.File("outside"), base + "/link");
    std::filesystem::create_directory_symlink(base, dir.File("alias"));

    platform::WholeFile through;
    EXPECT_FALSE(through.Begin((base + "/link/x.txt").c_str(), base.c_str()));
    EXPECT_EQ(through.error(), platform::kErrorOutside);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("outside")));

    platform::WholeFile inside;
    ASSERT_TRUE(inside.Begin((base + "/real/x.txt").c_str(), base.c_str()));
    EXPECT_EQ(inside.Finish("x", 1), platform::WholeFile::Result::Saved);
    EXPECT_EQ(ReadBytes(base + "/real/x.txt"), "x");
    // The folders on the way are judged alike.
    EXPECT_FALSE(platform::FolderLiesBelow((base + "/link").c_str(), base.c_str()));
    EXPECT_TRUE(platform::FolderLiesBelow((base + "/real").c_str(), base.c_str()));
    EXPECT_FALSE(platform::FolderLiesBelow(base.c_str(), base.c_str()));
    // A folder that is itself a link is followed on both sides alike.
    platform::WholeFile aliased;
    EXPECT_TRUE(aliased.Begin(dir.File("alias/y.txt").c_str(), dir.File("alias").c_str()));
}

// A new file is written under its own name and removed when the run gives it up; a file that
// is there, or anything else under the name, is never opened: it is replaced from beside.
TEST(WholeFile, ANewFileIsWrittenInPlaceAndAnOldOneOnlyReplaced) {
    TempDir dir;
    const std::string path = dir.File("new.txt");
    using platform::WholeFile;
    {
        WholeFile given_up;
        ASSERT_TRUE(given_up.Begin(path.c_str(), nullptr, WholeFile::NewFile::InPlace));
        EXPECT_EQ(std::string(given_up.sibling()), path);
        ASSERT_TRUE(given_up.file().Write("part", 4));
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    WholeFile fresh;
    ASSERT_TRUE(fresh.Begin(path.c_str(), nullptr, WholeFile::NewFile::InPlace));
    ASSERT_TRUE(fresh.file().Write("one", 3));
    EXPECT_EQ(fresh.Place(WholeFile::kFlushReplacement), WholeFile::Result::Saved);
    EXPECT_EQ(ReadBytes(path), "one");

    {
        WholeFile update;
        ASSERT_TRUE(update.Begin(path.c_str(), nullptr, WholeFile::NewFile::InPlace));
        EXPECT_NE(std::string(update.sibling()), path);
        ASSERT_TRUE(update.file().Write("two", 3));
        EXPECT_EQ(ReadBytes(path), "one");
    }
    EXPECT_EQ(ReadBytes(path), "one");

    // A link under the name is replaced, never written through.
    WriteBytes(dir.File("target"), "theirs");
    std::filesystem::create_symlink(dir.File("target"), dir.File("link"));
    WholeFile overLink;
    ASSERT_TRUE(overLink.Begin(dir.File("link").c_str(), nullptr, WholeFile::NewFile::InPlace));
    ASSERT_TRUE(overLink.file().Write("ours", 4));
    EXPECT_EQ(overLink.Place(WholeFile::kFlushReplacement), WholeFile::Result::Saved);
    EXPECT_EQ(ReadBytes(dir.File("target")), "theirs");
    EXPECT_EQ(ReadBytes(dir.File("link")), "ours");
}

// Folders swapped for a link to elsewhere after the run first used them lead nowhere of ours:
// the base is checked as it was at its first use, a held folder takes only the new files of its
// own path, and a folder outside the base is not held at all.
TEST(WholeFile, AFolderSwappedForALinkAfterItsCheckLeadsNowhere) {
    TempDir dir;
    const std::string base = dir.File("base");
    std::filesystem::create_directories(base + "/sub");
    std::filesystem::create_directory(dir.File("outside"));
    const platform::ResolvedFolder resolved(base.c_str());
    platform::HeldFolder held;
    EXPECT_FALSE(held.Hold(dir.File("outside").c_str(), resolved));
    ASSERT_TRUE(held.Hold((base + "/sub").c_str(), resolved));
    platform::WholeFile first;
    ASSERT_TRUE(first.Begin((base + "/sub/a.txt").c_str(), &resolved, held));
    EXPECT_EQ(first.Finish("a", 1), platform::WholeFile::Result::Saved);
    EXPECT_EQ(ReadBytes(base + "/sub/a.txt"), "a");

    std::filesystem::rename(base + "/sub", base + "/moved");
    std::filesystem::create_directory_symlink(dir.File("outside"), base + "/sub");
    platform::WholeFile inHeld;
    EXPECT_FALSE(inHeld.Begin((base + "/sub/b.txt").c_str(), &resolved, held));
    std::filesystem::rename(base, dir.File("gone"));
    std::filesystem::create_directory_symlink(dir.File("outside"), base);
    platform::WholeFile inBase;
    EXPECT_FALSE(inBase.Begin((base + "/c.txt").c_str(), &resolved,
                              platform::WholeFile::NewFile::InPlace));
    EXPECT_EQ(inBase.error(), platform::kErrorOutside);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("outside")));
    EXPECT_FALSE(platform::FolderLiesBelow(dir.File("outside").c_str(), resolved));
}

}  // namespace
