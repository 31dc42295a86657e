// The uninstaller's machine under Wine: paths as Windows resolves them, files, folders and keys
// removed only as the removal asks, links read back, and the entry in the list of programs.
#include <windows.h>
// After windows.h, which they need.
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>

#include <string>

#include "install/uninstall_entry.h"
#include "uninstaller/paths.h"
#include "uninstaller/windows_system.h"
#include "win32_test_util.h"

namespace {

using unwise::EntryKind;
using unwise::ValueKind;

class UnwiseSystemWin32 : public ::testing::Test {
protected:
    UnwiseSystemWin32()
        : system("\xD0\xB6\xD4\xD8\xB2\xE2\xCA\xD4", L"C:\\nowhere\\unwise.exe",
                 dir.path().c_str()) {}
    WinTempDir dir;
    unwise::WindowsSystem system;
};

TEST_F(UnwiseSystemWin32, ResolvesShortNamesToLongOnes) {
    const std::string folder = dir.File("A Long Folder Name");
    ASSERT_TRUE(platform::CreateFolder(folder.c_str()));
    ASSERT_TRUE(PutBytes(folder + "\\a.txt", "x"));
    wchar_t shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(W(folder + "\\a.txt").c_str(), shortName, MAX_PATH), 0u);
    char full[platform::kPathRoom];
    ASSERT_TRUE(system.FullPath(G(shortName).c_str(), full, sizeof full));
    EXPECT_TRUE(unwise::SameText(full, (folder + "\\a.txt").c_str())) << full;
    // A file that is gone keeps its name, its folder is made long all the same.
    const std::string gone = G(shortName).substr(0, G(shortName).rfind('\\')) + "\\gone.txt";
    ASSERT_TRUE(system.FullPath(gone.c_str(), full, sizeof full));
    EXPECT_TRUE(unwise::SameText(full, (folder + "\\gone.txt").c_str())) << full;
}

TEST_F(UnwiseSystemWin32, TellsFilesFoldersAndNothing) {
    ASSERT_TRUE(PutBytes(dir.File("f.txt"), "x"));
    ASSERT_TRUE(platform::CreateFolder(dir.File("sub").c_str()));
    platform::ErrorCode error = 0;
    EXPECT_EQ(system.Probe(dir.File("f.txt").c_str(), &error), EntryKind::File);
    EXPECT_EQ(system.Probe(dir.File("sub").c_str(), &error), EntryKind::Folder);
    EXPECT_EQ(system.Probe(dir.File("none.txt").c_str(), &error), EntryKind::Missing);
    EXPECT_EQ(system.Probe(dir.File("none\\none.txt").c_str(), &error), EntryKind::Missing);
}

TEST_F(UnwiseSystemWin32, RemovesAReadOnlyFileAndOnlyEmptyFolders) {
    const std::string file = dir.File("\xCB\xB5\xC3\xF7.txt");
    ASSERT_TRUE(PutBytes(file, "x"));
    SetFileAttributesW(W(file).c_str(), FILE_ATTRIBUTE_READONLY);
    platform::ErrorCode error = 0;
    EXPECT_TRUE(system.RemoveFile(file.c_str(), &error));
    EXPECT_FALSE(platform::PathExists(file.c_str()));

    ASSERT_TRUE(platform::CreateFolder(dir.File("full").c_str()));
    ASSERT_TRUE(PutBytes(dir.File("full\\mine.txt"), "the user's"));
    EXPECT_FALSE(system.RemoveFolder(dir.File("full").c_str(), &error));
    EXPECT_NE(error, 0u);
    EXPECT_TRUE(platform::PathExists(dir.File("full\\mine.txt").c_str()));
    ASSERT_TRUE(platform::CreateFolder(dir.File("empty").c_str()));
    EXPECT_TRUE(system.RemoveFolder(dir.File("empty").c_str(), &error));
    EXPECT_FALSE(platform::PathExists(dir.File("empty").c_str()));
}

// The second line behind the removal's path rules: what the handle holds must lie in the install
// folder, and be what was asked for.
TEST_F(UnwiseSystemWin32, RemovesThroughAHandleOnlyWhatLiesInTheInstallFolder) {
    const std::string app = dir.File("app");
    ASSERT_TRUE(platform::CreateFolder(app.c_str()));
    ASSERT_TRUE(PutBytes(dir.File("other.txt"), "someone else's"));
    ASSERT_TRUE(PutBytes(app + "\\a.txt", "ours"));
    const platform::ResolvedFolder base(app.c_str());
    platform::ErrorCode error = 0;
    EXPECT_FALSE(platform::RemoveThroughHandle((app + "\\..\\other.txt").c_str(), false, base,
                                               &error));
    EXPECT_EQ(error, platform::kErrorOutside);
    EXPECT_TRUE(platform::PathExists(dir.File("other.txt").c_str()));
    EXPECT_FALSE(platform::RemoveThroughHandle((app + "\\a.txt").c_str(), true, base, &error));
    EXPECT_FALSE(platform::RemoveThroughHandle(app.c_str(), false, base, &error));
    EXPECT_TRUE(platform::PathExists((app + "\\a.txt").c_str()));
    EXPECT_TRUE(platform::RemoveThroughHandle((app + "\\a.txt").c_str(), false, base, &error));
    EXPECT_FALSE(platform::PathExists((app + "\\a.txt").c_str()));
}

TEST_F(UnwiseSystemWin32, AFileHeldOpenStaysWithItsReason) {
    const std::string file = dir.File("held.exe");
    ASSERT_TRUE(PutBytes(file, "x"));
    HANDLE held = CreateFileW(W(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    platform::ErrorCode error = 0;
    EXPECT_FALSE(system.RemoveFile(file.c_str(), &error));
    EXPECT_EQ(error, static_cast<platform::ErrorCode>(ERROR_SHARING_VIOLATION));
    char reason[256];
    system.Describe(error, reason, sizeof reason);
    EXPECT_STRNE(reason, "");
    CloseHandle(held);
    EXPECT_TRUE(system.RemoveFile(file.c_str(), &error));
}

TEST_F(UnwiseSystemWin32, SeesWhatElseTheInstallFolderHolds) {
    const std::string folder = dir.File("app");
    ASSERT_TRUE(platform::CreateFolder(folder.c_str()));
    for (const char* own : {"\\unwise.exe", "\\setup.log", "\\SETUP.LST"})
        ASSERT_TRUE(PutBytes(folder + own, "x"));
    EXPECT_FALSE(system.HoldsOthers(folder.c_str()));
    ASSERT_TRUE(platform::CreateFolder((folder + "\\sub").c_str()));
    EXPECT_TRUE(system.HoldsOthers(folder.c_str()));
}

TEST_F(UnwiseSystemWin32, DeletesDefaultValuesAndEmptyKeysOnly) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"sfxuntestfile\\shell\\open\\command", 0,
                              nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t command[] = L"C:\\App\\viewer.exe %1";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), sizeof command);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"sfxuntestfile", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t name[] = L"Test";
    RegSetValueExW(key, L"FriendlyTypeName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   sizeof name);
    RegCloseKey(key);

    char value[256];
    EXPECT_EQ(system.ReadDefaultValue("sfxuntestfile\\shell\\open\\command", value, sizeof value),
              ValueKind::Text);
    EXPECT_STREQ(value, "C:\\App\\viewer.exe %1");
    EXPECT_TRUE(system.HoldsOnlyDefaultValue("sfxuntestfile\\shell\\open\\command"));
    EXPECT_FALSE(system.HoldsOnlyDefaultValue("sfxuntestfile\\shell"));
    EXPECT_EQ(system.ReadDefaultValue("sfxuntestfile\\none", value, sizeof value),
              ValueKind::Missing);
    // Not empty yet: it keeps its value.
    system.DeleteKeyIfEmpty("sfxuntestfile\\shell\\open\\command");
    EXPECT_EQ(system.ReadDefaultValue("sfxuntestfile\\shell\\open\\command", value, sizeof value),
              ValueKind::Text);
    platform::ErrorCode error = 0;
    EXPECT_TRUE(system.DeleteDefaultValue("sfxuntestfile\\shell\\open\\command", &error));
    for (const char* emptied :
         {"sfxuntestfile\\shell\\open\\command", "sfxuntestfile\\shell\\open", "sfxuntestfile\\shell",
          "sfxuntestfile"})
        system.DeleteKeyIfEmpty(emptied);
    HKEY left;
    EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"sfxuntestfile\\shell", 0, KEY_READ, &left),
              ERROR_SUCCESS);
    // The class keeps its other value, and so itself.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"sfxuntestfile", 0, KEY_READ, &left), ERROR_SUCCESS);
    RegCloseKey(left);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"sfxuntestfile");
}

TEST_F(UnwiseSystemWin32, ReadsTheTargetOfALinkInTheProgramGroup) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const char* forms[2] = {nullptr, nullptr};
    ASSERT_GE(system.LinkFolderForms(unwise::LinkFolder::Group, forms), 1);
    const std::wstring group = W(forms[0]);
    ASSERT_TRUE(CreateDirectoryW(group.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(L"C:\\App\\app.exe");
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Save((group + L"\\app.lnk").c_str(), TRUE)));
    file->Release();
    link->Release();

    package::LineList names;
    system.ListLinks(unwise::LinkFolder::Group, &names);
    ASSERT_EQ(names.count(), 1);
    EXPECT_STREQ(names.at(0), "app.lnk");
    char target[platform::kPathRoom];
    platform::ErrorCode error = 0;
    EXPECT_EQ(system.ProbeLink(unwise::LinkFolder::Group, "app.lnk", target, sizeof target, &error),
              EntryKind::File);
    EXPECT_STREQ(target, "C:\\App\\app.exe");
    EXPECT_EQ(system.ProbeLink(unwise::LinkFolder::Group, "none.lnk", target, sizeof target, &error),
              EntryKind::Missing);
    // The group folder goes only once it is empty.
    EXPECT_FALSE(system.RemoveGroupFolder(&error));
    EXPECT_TRUE(system.RemoveLink(unwise::LinkFolder::Group, "app.lnk", &error));
    EXPECT_TRUE(system.RemoveGroupFolder(&error));
    EXPECT_EQ(GetFileAttributesW(group.c_str()), INVALID_FILE_ATTRIBUTES);
    CoUninitialize();
}

TEST(UninstallEntryWin32, IsWrittenAndRemovedOnlyByItsOwnUninstaller) {
    WinTempDir dir;
    package::SetupModel model;
    std::snprintf(model.appName, sizeof model.appName, "%s", "\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2");
    install::BaseFolders folders;
    std::snprintf(folders.pageInstallDir, sizeof folders.pageInstallDir, "%s", dir.path().c_str());
    ASSERT_TRUE(PutBytes(dir.File("unwise.exe"), std::string(3000, 'x')));
    platform::ErrorCode error = 0;
    ASSERT_TRUE(install::AddUninstallEntry(model, folders, 5000, &error)) << error;

    char keyPath[512];
    ASSERT_TRUE(install::UninstallKeyPath(model.appName, keyPath, sizeof keyPath));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(keyPath).c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t text[1024];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"UninstallString", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L"\"" + W(dir.File("unwise.exe")) + L"\"");
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"QuietUninstallString", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L"\"" + W(dir.File("unwise.exe")) + L"\" /S");
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), W(model.appName));
    DWORD number = 0;
    size = sizeof number;
    ASSERT_EQ(RegQueryValueExW(key, L"EstimatedSize", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 8u);  // 5000 bytes of files and 3000 of unwise.exe, in KB rounded up
    size = sizeof number;
    ASSERT_EQ(RegQueryValueExW(key, L"NoModify", nullptr, nullptr, reinterpret_cast<BYTE*>(&number),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 1u);
    RegCloseKey(key);

    // Another installation's uninstaller of the same name leaves it alone.
    EXPECT_TRUE(install::RemoveUninstallEntry(model.appName, L"C:\\Other\\unwise.exe", &error));
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(keyPath).c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // Another application's uninstaller finds this one in the folder, however it spells it; its
    // own does not.
    const std::string spelled = dir.File("sub\\..\\.");
    char other[256] = {};
    EXPECT_TRUE(install::FindOtherEntryAt("Other", spelled.c_str(), other, sizeof other));
    EXPECT_STREQ(other, model.appName);
    EXPECT_FALSE(install::FindOtherEntryAt(model.appName, spelled.c_str(), other, sizeof other));
    EXPECT_FALSE(install::FindOtherEntryAt("Other", dir.File("elsewhere").c_str(), other,
                                           sizeof other));
    // Its own removes it, whatever the case or the spelling of its path.
    std::wstring own = W(dir.File("sub\\..\\UNWISE.EXE"));
    EXPECT_TRUE(install::RemoveUninstallEntry(model.appName, own.c_str(), &error)) << error;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(keyPath).c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_TRUE(install::RemoveUninstallEntry(model.appName, own.c_str(), &error));
}

TEST(UninstallEntryWin32, NeedsAPlainName) {
    char key[512];
    EXPECT_FALSE(install::UninstallKeyPath("", key, sizeof key));
    EXPECT_FALSE(install::UninstallKeyPath("a\\b", key, sizeof key));
    EXPECT_FALSE(install::UninstallKeyPath("..", key, sizeof key));
    ASSERT_TRUE(install::UninstallKeyPath("App", key, sizeof key));
    EXPECT_STREQ(key, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App");
}

}  // namespace
