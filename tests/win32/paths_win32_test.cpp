// The checks that keep a package inside its base folders, against the system's own resolution
// of paths: the same tables that the host's rules pass.
#include <gtest/gtest.h>
#include <windows.h>

#include "install/path_rules.h"
#include "package/windows_case.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "win32_test_util.h"
#include "windows_case_table.h"
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

namespace {
// Windows' own comparison of names, as the file system makes it (Vista and later, so looked up).
bool WindowsTakesForOne(const std::wstring& a, const std::wstring& b) {
    using Compare = int(WINAPI*)(LPCWCH, int, LPCWCH, int, BOOL);
    static const auto compare = reinterpret_cast<Compare>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CompareStringOrdinal")));
    return compare(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                   TRUE) == CSTR_EQUAL;
}
}  // namespace

TEST(PathsWin32, NamesFoldAsWindowsFoldsThem) {
    for (const SameNameCase& c : kSameNameCases)
        EXPECT_EQ(WindowsTakesForOne(W(c.a), W(c.b)), c.same) << c.a << " / " << c.b;
    // Every character GBK holds: where Windows' upper case is another GBK character, ours is
    // the same, and every pair ours folds together Windows takes for one.
    int folded = 0;
    for (int code = 0x20; code <= 0xFEFE; ++code) {
        char text[3] = {static_cast<char>(code > 0xFF ? code >> 8 : code),
                        static_cast<char>(code > 0xFF ? code & 0xFF : 0), 0};
        if (code > 0x7E && code < 0x8140) continue;
        wchar_t wide[2];
        if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, text, -1, wide, 2) != 2) continue;
        wchar_t upper[2] = {wide[0], 0};
        CharUpperBuffW(upper, 1);
        char back[3] = {};
        BOOL lost = FALSE;
        const bool inGbk =
            WideCharToMultiByte(936, 0, upper, 1, back, 2, nullptr, &lost) > 0 && !lost;
        if (upper[0] != wide[0] && inGbk) {
            ASSERT_TRUE(WindowsTakesForOne(wide, upper)) << text;
            EXPECT_EQ(package::CompareNames(text, back), 0) << text;
        }
        const size_t width = gbk::CharWidth(text);
        const uint32_t ours = package::UpperCharacter(text, width);
        if (ours != static_cast<unsigned char>(text[0]) * (width == 2 ? 256u : 1u) +
                        (width == 2 ? static_cast<unsigned char>(text[1]) : 0u)) {
            ++folded;
            const char mine[3] = {static_cast<char>(width == 2 ? ours >> 8 : ours),
                                  static_cast<char>(width == 2 ? ours & 0xFF : 0), 0};
            EXPECT_TRUE(WindowsTakesForOne(wide, W(mine))) << text;
        }
    }
    EXPECT_EQ(folded, 26 + 26 + 24 + 33 + 10);  // ASCII, full-width, Greek, Cyrillic, Roman
}
