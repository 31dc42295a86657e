// The checks that keep a package inside its base folders, against the system's own resolution
// of paths: the same tables that the host's rules pass.
#include <gtest/gtest.h>
#include <windows.h>

#include "install/path_rules.h"
#include "platform/file.h"
#include "win32_test_util.h"
#include "windows_paths.h"

TEST(PathsWin32, FullPathsAreTheSystemsOwn) {
    for (const FullPathCase& c : kFullPathCases) {
        char full[1024];
        ASSERT_TRUE(platform::FullPath(c.path, full, sizeof full)) << c.path;
        EXPECT_STREQ(full, c.full) << c.path;
        // Straight from the system, for the cases that do not depend on the GBK conversion.
        wchar_t wide[1024];
        ASSERT_GT(GetFullPathNameW(W(c.path).c_str(), 1024, wide, nullptr), 0u);
        EXPECT_EQ(G(wide), c.full) << c.path;
    }
    char full[1024];
    EXPECT_FALSE(platform::FullPath("relative\\x", full, sizeof full));
}

TEST(PathsWin32, OnlyWhatNeverLeavesItsBaseFolder) {
    wchar_t wide[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(wide, MAX_PATH), 0u);
    const std::string windows = G(wide);
    for (const char* base :
         {"C:\\a\\b\\", windows.c_str(), static_cast<const char*>(install::kStandInInstallDir)}) {
        for (const InsideCase& c : kInsideCases) {
            EXPECT_EQ(install::StaysInside(base, c.relative, c.isFile), c.inside)
                << base << " + \"" << c.relative << "\"" << (c.isFile ? " (file)" : "");
        }
    }
}

// Windows never replaces a read-only file; Wine run as root would, and the installer refuses
// it on both, so that such a file is left as the user has it.
TEST(PathsWin32, AReadOnlyFileIsNotReplaced) {
    WinTempDir dir;
    PutBytes(dir.File("old.txt"), "old");
    PutBytes(dir.File("new.txt"), "new");
    SetFileAttributesW(W(dir.File("old.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    platform::ErrorCode error = 0;
    EXPECT_FALSE(
        platform::MoveIntoPlace(dir.File("new.txt").c_str(), dir.File("old.txt").c_str(), &error));
    EXPECT_EQ(error, static_cast<platform::ErrorCode>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetBytes(dir.File("old.txt")), "old");
    SetFileAttributesW(W(dir.File("old.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(
        platform::MoveIntoPlace(dir.File("new.txt").c_str(), dir.File("old.txt").c_str(), &error));
    EXPECT_EQ(GetBytes(dir.File("old.txt")), "new");
}
