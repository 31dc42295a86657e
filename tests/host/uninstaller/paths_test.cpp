#include "uninstaller/paths.h"

#include <gtest/gtest.h>

#include "windows_case_table.h"

namespace {

TEST(UninstallPaths, ComparesAsWindowsDoes) {
    for (const SameNameCase& c : kSameNameCases)
        EXPECT_EQ(unwise::SameText(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(UninstallPaths, PlainNames) {
    EXPECT_TRUE(unwise::IsPlainName("readme.txt"));
    EXPECT_TRUE(unwise::IsPlainName("\xCB\xB5\xC3\xF7.txt"));  // 说明.txt
    EXPECT_TRUE(unwise::IsPlainName("\xDC\x5C"));              // 淺: its trail byte is "\"
    EXPECT_TRUE(unwise::IsPlainName("\xD8\x7C"));              // a trail byte that is "|"
    for (const char* name : {"", ".", "..", "a\\b", "a/b", "a:b", "a*", "a?", "a\"", "a<", "a>",
                             "a|", "a.", "a ", "a\x01", "\xB0"})
        EXPECT_FALSE(unwise::IsPlainName(name)) << name;
}

TEST(UninstallPaths, PlainFullPaths) {
    EXPECT_TRUE(unwise::IsPlainFullPath("C:\\App\\a.txt"));
    EXPECT_TRUE(unwise::IsPlainFullPath("d:\\a"));
    EXPECT_TRUE(unwise::IsPlainFullPath("C:\\\xDC\x5C\\a.txt"));
    for (const char* path :
         {"C:\\", "C:", "C:a.txt", "\\\\server\\share\\a", "\\\\?\\C:\\a", "\\\\.\\C:\\a",
          "C:\\App\\..\\Windows\\a.dll", "C:\\App\\.\\a", "C:\\App\\\\a", "C:\\App\\a\\",
          "C:\\App\\a.txt:stream", "C:/App/a.txt", "C:\\App\\*.txt", "C:\\App\\a?.lnk", "1:\\a",
          "C:\\App\\a. ", "relative\\a.txt", "C:\\App\\a\xB0"})
        EXPECT_FALSE(unwise::IsPlainFullPath(path)) << path;
}

TEST(UninstallPaths, BelowAFolder) {
    EXPECT_TRUE(unwise::IsBelow("C:\\App", "C:\\App\\a.txt"));
    EXPECT_TRUE(unwise::IsBelow("C:\\App", "c:\\app\\sub\\a.txt"));
    EXPECT_TRUE(unwise::IsBelow("C:\\", "C:\\a.txt"));
    EXPECT_FALSE(unwise::IsBelow("C:\\App", "C:\\App"));
    EXPECT_FALSE(unwise::IsBelow("C:\\App", "C:\\App\\"));
    EXPECT_FALSE(unwise::IsBelow("C:\\App", "C:\\Apple\\a.txt"));
    EXPECT_FALSE(unwise::IsBelow("C:\\App", "D:\\App\\a.txt"));
    EXPECT_FALSE(unwise::IsBelow("", "C:\\App\\a.txt"));
    // A folder ending in a double-byte character never matches half of one.
    EXPECT_FALSE(unwise::IsBelow("C:\\\xB0", "C:\\\xB0\xA1\\a"));
    EXPECT_TRUE(unwise::IsAtOrBelow("C:\\Windows", "c:\\windows"));
    EXPECT_TRUE(unwise::IsAtOrBelow("C:\\Windows", "C:\\Windows\\System32"));
}

TEST(UninstallPaths, Extensions) {
    EXPECT_TRUE(unwise::HasExtension("C:\\App\\grid.OCX", "ocx"));
    EXPECT_FALSE(unwise::HasExtension("C:\\App.ocx\\grid", "ocx"));
    EXPECT_FALSE(unwise::HasExtension("C:\\App\\grid.ocx2", "ocx"));
    EXPECT_TRUE(unwise::HasExtension("viewer.lnk", "lnk"));
    EXPECT_EQ(unwise::LastSeparator("C:\\\xDC\x5C"), 2);
}

}  // namespace
