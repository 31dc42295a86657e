// How unwise.exe removes its own file, on the paths where something is refused or fails: the
// copy that would run as the user's program, and the path it is told to delete.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "uninstaller/self_removal.h"
#include "win32_test_util.h"

namespace {

// What the copy waits for: a process that has already ended.
HANDLE EndedParent() { return CreateEventW(nullptr, TRUE, TRUE, nullptr); }

bool Exists(const std::string& path) {
    return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PendingAtRestart(const std::string& path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::wstring value(1 << 16, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const bool read = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&value[0]), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read) return false;
    value.resize(size / sizeof(wchar_t));
    for (wchar_t& c : value) c = static_cast<wchar_t>(towlower(c));
    std::wstring wanted = W(path);
    for (wchar_t& c : wanted) c = static_cast<wchar_t>(towlower(c));
    return value.find(wanted) != std::wstring::npos;
}

TEST(SelfRemovalWin32, TheCopyDeletesNothingButAnUnwiseExeInAPlainFolder) {
    WinTempDir dir;
    for (const char* name : {"other.exe", "unwise.exe.bak", "xunwise.exe"}) {
        ASSERT_TRUE(PutBytes(dir.File(name), "keep me"));
        EXPECT_EQ(unwise::RemoveUninstaller(EndedParent(), W(dir.File(name)).c_str()), 2) << name;
        EXPECT_TRUE(Exists(dir.File(name))) << name;
    }
    // A folder of that name, and a path without a folder.
    ASSERT_TRUE(platform::CreateFolder(dir.File("sub").c_str()));
    ASSERT_TRUE(platform::CreateFolder(dir.File("sub\\unwise.exe").c_str()));
    EXPECT_EQ(unwise::RemoveUninstaller(EndedParent(), W(dir.File("sub\\unwise.exe")).c_str()), 2);
    EXPECT_TRUE(Exists(dir.File("sub\\unwise.exe")));
    EXPECT_EQ(unwise::RemoveUninstaller(EndedParent(), L"unwise.exe"), 2);
}

TEST(SelfRemovalWin32, OnlyACopyWithExactlyTheProgramsBytesIsHeld) {
    WinTempDir dir;
    const std::string program = std::string(20000, 'p') + "end";
    ASSERT_TRUE(PutBytes(dir.File("unwise.exe"), program));
    const std::wstring original = W(dir.File("unwise.exe"));
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string changed = program;
    changed[12345] = 'q';
    for (const Case& c :
         {Case{"one byte changed", changed}, Case{"cut short", program.substr(0, 16384)},
          Case{"longer", program + "x"}, Case{"empty", ""}}) {
        ASSERT_TRUE(PutBytes(dir.File("copy.tmp"), c.bytes));
        void* guard = unwise::GuardCopy(W(dir.File("copy.tmp")).c_str(), original.c_str());
        EXPECT_EQ(guard, nullptr) << c.what;
        if (guard) CloseHandle(guard);
    }
    ASSERT_TRUE(PutBytes(dir.File("copy.tmp"), program));
    HANDLE guard = unwise::GuardCopy(W(dir.File("copy.tmp")).c_str(), original.c_str());
    ASSERT_NE(guard, nullptr);
    // While it is held, the user's programs can neither change nor replace it.
    EXPECT_FALSE(PutBytes(dir.File("copy.tmp"), "planted"));
    EXPECT_FALSE(DeleteFileW(W(dir.File("copy.tmp")).c_str()));
    CloseHandle(guard);
}

// A program that cannot be started (here: no program at all) leaves no copy behind and hands
// the uninstaller and its folder to Windows for the next restart, without deleting them now.
TEST(SelfRemovalWin32, ACopyThatCannotStartIsRemovedAndTheRestartTakesOver) {
    WinTempDir dir;
    WinTempDir temp;
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", saved, MAX_PATH);
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", W(temp.path()).c_str()));
    ASSERT_TRUE(platform::CreateFolder(dir.File("app").c_str()));
    ASSERT_TRUE(PutBytes(dir.File("app\\unwise.exe"), "not a program"));
    unwise::RemoveSelfAfterExit(W(dir.File("app\\unwise.exe")).c_str());
    SetEnvironmentVariableW(L"TMP", saved[0] ? saved : nullptr);
    EXPECT_EQ(CountFiles(W(temp.path()), L"*"), 2);  // "." and ".." only
    EXPECT_TRUE(Exists(dir.File("app\\unwise.exe")));
    EXPECT_TRUE(PendingAtRestart(dir.File("app\\unwise.exe")));
}

}  // namespace
