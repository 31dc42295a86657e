#include <gtest/gtest.h>
#include <windows.h>

#include "platform/file.h"
#include "platform/text_win32.h"
#include "win32_test_util.h"

using platform::RawFile;

TEST(RawFileWin32, ChineseNamesReachTheDiskAsUnicode) {
    WinTempDir dir;
    const std::string name = "安装程序测试.txt";  // GBK bytes in memory
    ASSERT_TRUE(PutBytes(dir.File(name), "data"));
    // The name on disk is the right Unicode text, whatever the user's ANSI code page is.
    EXPECT_NE(GetFileAttributesW((W(dir.path()) + L"安装程序测试.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetBytes(dir.File(name)), "data");
    char back[64];
    ASSERT_TRUE(platform::Narrow(platform::Wide(name.c_str()).c_str(), back, sizeof back));
    EXPECT_EQ(back, name);
    // A text that does not fit is refused whole, never cut.
    EXPECT_FALSE(platform::Narrow(L"安装程序", back, 8));
    EXPECT_STREQ(back, "");
}

TEST(RawFileWin32, ReadSeekAndLength) {
    WinTempDir dir;
    PutBytes(dir.File("f"), "0123456789");
    RawFile file;
    ASSERT_TRUE(file.OpenRead(dir.File("f").c_str()));
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
    EXPECT_TRUE(other.OpenRead(dir.File("f").c_str()));
    EXPECT_TRUE(other.OpenWrite(dir.File("f").c_str()));
}

TEST(RawFileWin32, OpenWriteKeepsTheContents) {
    WinTempDir dir;
    PutBytes(dir.File("f"), "abcdef");
    RawFile file;
    ASSERT_TRUE(file.OpenWrite(dir.File("f").c_str()));
    EXPECT_EQ(file.Seek(0, RawFile::Origin::End), 6);
    EXPECT_TRUE(file.Write("XY", 2));
    file.Close();
    EXPECT_EQ(GetBytes(dir.File("f")), "abcdefXY");
    EXPECT_FALSE(file.OpenWrite(dir.File("absent").c_str()));
}

TEST(RawFileWin32, FailuresAreReportedWithTheSystemsReason) {
    WinTempDir dir;
    RawFile file;
    EXPECT_FALSE(file.Create(dir.File("no\\such\\folder.txt").c_str()));
    EXPECT_EQ(file.error(), static_cast<platform::ErrorCode>(ERROR_PATH_NOT_FOUND));
    // A read-only leftover is made writable again before it is replaced.
    PutBytes(dir.File("ro"), "x");
    const std::wstring wide = W(dir.File("ro"));
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    platform::SetNormalAttributes(dir.File("ro").c_str());
    EXPECT_EQ(GetFileAttributesW(wide.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              0u);
    EXPECT_TRUE(file.Create(dir.File("ro").c_str()));
    // Creating the same file again through the same object replaces the first handle.
    EXPECT_TRUE(file.Create(dir.File("ro").c_str()));
    file.Close();
    // A write through a handle opened for reading fails and says why.
    ASSERT_TRUE(file.OpenRead(dir.File("ro").c_str()));
    EXPECT_FALSE(file.Write("y", 1));
    EXPECT_NE(file.error(), 0u);
}

TEST(RawFileWin32, CreateNewNeverOpensWhatIsThere) {
    WinTempDir dir;
    PutBytes(dir.File("taken"), "theirs");
    CreateDirectoryW(W(dir.File("folder")).c_str(), nullptr);
    RawFile file;
    EXPECT_FALSE(file.CreateNew(dir.File("taken").c_str()));
    EXPECT_FALSE(file.CreateNew(W(dir.File("folder")).c_str()));
    EXPECT_EQ(GetBytes(dir.File("taken")), "theirs");
    EXPECT_TRUE(file.CreateNew(W(dir.File("fresh")).c_str()));
}

TEST(TempFilesWin32, EachIsNewAndOursAndPassesOverWhatOthersPlanted) {
    WinTempDir dir;
    const std::wstring folder = W(dir.path());
    // Another program's file and folder at the first names this process would choose.
    const std::string pid = std::to_string(GetCurrentProcessId());
    PutBytes(dir.File("qorv-" + pid + "-0.tmp"), "planted");
    CreateDirectoryW(W(dir.File("qorv-" + pid + "-1.tmp")).c_str(), nullptr);

    RawFile first, second;
    wchar_t firstPath[platform::kPathRoom], secondPath[platform::kPathRoom];
    ASSERT_TRUE(
        platform::CreateTempFile(folder.c_str(), "qorv", &first, firstPath, platform::kPathRoom));
    ASSERT_TRUE(
        platform::CreateTempFile(folder.c_str(), "qorv", &second, secondPath, platform::kPathRoom));
    EXPECT_EQ(std::wstring(firstPath), W(dir.File("qorv-" + pid + "-2.tmp")));
    EXPECT_NE(std::wstring(firstPath), std::wstring(secondPath));
    EXPECT_EQ(first.Length(), 0);
    EXPECT_EQ(GetBytes(dir.File("qorv-" + pid + "-0.tmp")), "planted");
    EXPECT_TRUE(platform::IsFolder(dir.File("qorv-" + pid + "-1.tmp").c_str()));
    first.Close();
    EXPECT_TRUE(platform::RemoveSysFile(firstPath));
    // A folder that cannot hold files is an error, not somewhere else.
    RawFile none;
    wchar_t nonePath[platform::kPathRoom];
    EXPECT_FALSE(platform::CreateTempFile((folder + L"absent\\").c_str(), "qorv", &none, nonePath,
                                          platform::kPathRoom));
}

TEST(FoldersWin32, CreateQueryAndRemove) {
    WinTempDir dir;
    const std::string folder = dir.File("新文件夹");
    EXPECT_FALSE(platform::PathExists(folder.c_str()));
    EXPECT_TRUE(platform::CreateFolder(folder.c_str()));
    EXPECT_FALSE(platform::CreateFolder(folder.c_str()));
    EXPECT_TRUE(platform::IsFolder(folder.c_str()));
    PutBytes(folder + "\\f", "x");
    EXPECT_TRUE(platform::PathExists((folder + "\\f").c_str()));
    EXPECT_FALSE(platform::IsFolder((folder + "\\f").c_str()));
    EXPECT_TRUE(platform::RemoveFile((folder + "\\f").c_str()));
    EXPECT_FALSE(platform::RemoveFile((folder + "\\f").c_str()));
    const std::wstring temp = TempFolderW();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_TRUE(platform::IsFolder(G(temp).c_str()));
}
