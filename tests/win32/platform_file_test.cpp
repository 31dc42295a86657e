#include <gtest/gtest.h>
#include <windows.h>

#include "platform/file.h"
#include "platform/text_win32.h"
#include "win32_test_util.h"

using platform::RawFile;

TEST(RawFileWin32, ChineseNamesReachTheDiskAsUnicode) {
    WinTempDir dir;
    const std::string name = "安装程序测试.txt";  // GBK bytes in memory
    PutBytes(dir.File(name), "data");
    // The name on disk is the right Unicode text, whatever the user's ANSI code page is.
    EXPECT_NE(GetFileAttributesW((platform::Widen(dir.path()) + L"安装程序测试.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetBytes(dir.File(name)), "data");
    EXPECT_EQ(platform::Narrow(platform::Widen(name)), name);
}

TEST(RawFileWin32, ReadSeekAndLength) {
    WinTempDir dir;
    PutBytes(dir.File("f"), "0123456789");
    RawFile file;
    ASSERT_TRUE(file.OpenRead(dir.File("f")));
    EXPECT_EQ(file.Length(), 10);
    EXPECT_EQ(file.Seek(-3, RawFile::Origin::End), 7);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "789");
    EXPECT_EQ(file.Seek(-20, RawFile::Origin::Current), -1);
    EXPECT_EQ(file.Seek(2, RawFile::Origin::Begin), 2);
    EXPECT_EQ(file.Position(), 2);
    // Readers share: a second reader and a writer may open the same file meanwhile.
    RawFile other;
    EXPECT_TRUE(other.OpenRead(dir.File("f")));
    EXPECT_TRUE(other.OpenWrite(dir.File("f")));
}

TEST(RawFileWin32, OpenWriteKeepsTheContents) {
    WinTempDir dir;
    PutBytes(dir.File("f"), "abcdef");
    RawFile file;
    ASSERT_TRUE(file.OpenWrite(dir.File("f")));
    EXPECT_EQ(file.Seek(0, RawFile::Origin::End), 6);
    file.Write("XY", 2);
    file.Close();
    EXPECT_EQ(GetBytes(dir.File("f")), "abcdefXY");
    EXPECT_FALSE(file.OpenWrite(dir.File("absent")));
}

TEST(RawFileWin32, CreateFailuresAreReportedOrRaised) {
    WinTempDir dir;
    RawFile file;
    EXPECT_FALSE(file.Create(dir.File("no\\such\\folder.txt")));
    try {
        file.CreateOrThrow(dir.File("no\\such\\folder.txt"));
        FAIL() << "no FileError";
    } catch (const platform::FileError& error) {
        EXPECT_EQ(error.cause(), platform::FileError::Cause::Create);
    }
    // A read-only leftover is made writable again before it is replaced.
    PutBytes(dir.File("ro"), "x");
    const std::wstring wide = platform::Widen(dir.File("ro"));
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    platform::SetNormalAttributes(dir.File("ro"));
    EXPECT_EQ(GetFileAttributesW(wide.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              0u);
    EXPECT_TRUE(file.Create(dir.File("ro")));
    // Creating the same file again through the same object replaces the first handle.
    EXPECT_TRUE(file.Create(dir.File("ro")));
}

TEST(RawFileWin32, WriteToAReadOnlyHandleRaises) {
    WinTempDir dir;
    PutBytes(dir.File("f"), "x");
    RawFile file;
    ASSERT_TRUE(file.OpenRead(dir.File("f")));
    EXPECT_THROW(file.Write("y", 1), platform::FileError);
}

TEST(TextFileWin32, LineFeedsBecomeCarriageReturnLineFeeds) {
    WinTempDir dir;
    platform::TextFile log;
    ASSERT_TRUE(log.Create(dir.File("setup.log")));
    log.WriteString("[FILELIST]\nC:\\安装\\a.exe\n");
    log.WriteString("");
    log.WriteString("tail");
    log.Close();
    EXPECT_EQ(GetBytes(dir.File("setup.log")), "[FILELIST]\r\nC:\\安装\\a.exe\r\ntail");
}

TEST(FoldersWin32, CreateQueryAndRemove) {
    WinTempDir dir;
    const std::string folder = dir.File("新文件夹");
    EXPECT_FALSE(platform::PathExists(folder));
    EXPECT_TRUE(platform::CreateFolder(folder));
    EXPECT_FALSE(platform::CreateFolder(folder));
    EXPECT_TRUE(platform::IsFolder(folder));
    PutBytes(folder + "\\f", "x");
    EXPECT_TRUE(platform::PathExists(folder + "\\f"));
    EXPECT_FALSE(platform::IsFolder(folder + "\\f"));
    EXPECT_TRUE(platform::RemoveFile(folder + "\\f"));
    EXPECT_FALSE(platform::RemoveFile(folder + "\\f"));
    const std::string temp = platform::TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(platform::IsFolder(temp));
}
