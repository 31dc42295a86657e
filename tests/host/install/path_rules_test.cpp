#include "install/path_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/file.h"
#include "windows_paths.h"

namespace {

using install::BaseFolders;

BaseFolders Folders() {
    BaseFolders folders;
    std::snprintf(folders.windowsDir, sizeof folders.windowsDir, "C:\\WINDOWS");
    std::snprintf(folders.systemDir, sizeof folders.systemDir, "C:\\WINDOWS\\system32");
    std::snprintf(folders.pageInstallDir, sizeof folders.pageInstallDir, "D:\\Tools\\Editor\\");
    return folders;
}

package::FileEntry Entry(const char* name, int32_t kind, const char* sub) {
    package::FileEntry entry;
    std::snprintf(entry.fileName, sizeof entry.fileName, "%s", name);
    std::snprintf(entry.subFolder, sizeof entry.subFolder, "%s", sub);
    entry.folderKind = kind;
    return entry;
}

std::string Join(const package::FileEntry& entry, const BaseFolders& folders = Folders()) {
    char path[1024];
    EXPECT_TRUE(install::JoinEntryPath(folders, entry, path, sizeof path));
    return path;
}

TEST(DestinationPath, BaseSubfolderAndNameWithOneBackslashEach) {
    EXPECT_EQ(Join(Entry("spell.dll", 8, "plugins")), "D:\\Tools\\Editor\\plugins\\spell.dll");
    EXPECT_EQ(Join(Entry("grid.ocx", 16, "")), "C:\\WINDOWS\\system32\\grid.ocx");
    EXPECT_EQ(Join(Entry("a.ini", 32, "sub\\")), "C:\\WINDOWS\\sub\\a.ini");
    EXPECT_EQ(Join(Entry("x", 8, "")), "D:\\Tools\\Editor\\x");
    EXPECT_EQ(Join(Entry("x", 99, "a\\b\\c")), "D:\\Tools\\Editor\\a\\b\\c\\x");
    // A subfolder ending in a character whose trail byte is 0x5C (淺) still gets its backslash.
    EXPECT_EQ(Join(Entry("a.txt", 8, "\xE6\x5C")), "D:\\Tools\\Editor\\\xE6\x5C\\a.txt");
    BaseFolders root = Folders();
    std::snprintf(root.systemDir, sizeof root.systemDir, "C:\\");
    EXPECT_EQ(Join(Entry("x", 16, ""), root), "C:\\x");
}

TEST(DestinationPath, ThroughTheListAndTooLongForItsBuffer) {
    package::FileList files;
    files.Append(Entry("one", 8, ""));
    files.Append(Entry("two", 32, "s"));
    char path[64];
    EXPECT_TRUE(install::DestinationPath(Folders(), files, 1, false, path, sizeof path));
    EXPECT_STREQ(path, "C:\\WINDOWS\\s\\two");
    EXPECT_TRUE(install::DestinationPath(Folders(), files, 0, false, path, sizeof path));
    EXPECT_STREQ(path, "D:\\Tools\\Editor\\one");
    char small[12];
    EXPECT_FALSE(install::DestinationPath(Folders(), files, 0, false, small, sizeof small));
}

class RecordingMaker : public install::FolderMaker {
public:
    bool Exists(const char* path) override {
        probed.push_back(path);
        return existing.count(path) != 0;
    }
    bool Create(const char* path) override {
        created.push_back(path);
        return true;
    }
    bool LiesBelow(const char* folder, const platform::ResolvedFolder&) override { return !elsewhere.count(folder); }
    std::set<std::string> existing, elsewhere;
    std::vector<std::string> probed, created;
};

TEST(CreateFolderTree, ShortestFirstBelowTheBaseAndNeverTheFileItself) {
    RecordingMaker maker;
    install::CreateFolderTree("D:\\App\\x\\y\\file.txt", "D:\\App\\", maker);
    EXPECT_EQ(maker.probed, (std::vector<std::string>{"D:\\App\\x", "D:\\App\\x\\y"}));
    EXPECT_EQ(maker.created, (std::vector<std::string>{"D:\\App\\x", "D:\\App\\x\\y"}));
}

TEST(CreateFolderTree, ATrailByteIsNoSeparator) {
    RecordingMaker maker;
    install::CreateFolderTree("C:\\A\\\xE6\x5C\\a.txt", "C:\\A", maker);
    EXPECT_EQ(maker.created, (std::vector<std::string>{"C:\\A\\\xE6\x5C"}));
}

// A folder on the way that leads out of the base (a junction put there) is not entered.
TEST(CreateFolderTree, NothingIsMadeBeyondAFolderThatLeadsElsewhere) {
    RecordingMaker maker;
    maker.existing = {"C:\\A\\x"};
    maker.elsewhere = {"C:\\A\\x"};
    install::CreateFolderTree("C:\\A\\x\\y\\a.txt", "C:\\A\\", maker);
    EXPECT_TRUE(maker.created.empty());
}

std::string Resolve(const char* setting) {
    char path[512];
    EXPECT_TRUE(install::ResolveFolderWord(Folders(), setting, path, sizeof path));
    return path;
}

TEST(ResolveFolderWord, TheTwoWordsAndEverythingElse) {
    EXPECT_EQ(Resolve("WINDOWS_FOLDER\\notepad.exe"), "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(Resolve("SYSTEM_FOLDER\\x.exe"), "C:\\WINDOWS\\system32\\x.exe");
    EXPECT_EQ(Resolve("system_folder\\x.exe"), "D:\\Tools\\Editor\\x.exe");
    EXPECT_EQ(Resolve("APP\\viewer.exe"), "D:\\Tools\\Editor\\viewer.exe");
    EXPECT_EQ(Resolve("viewer.exe"), "D:\\Tools\\Editor\\viewer.exe");
    EXPECT_EQ(Resolve("INSTALL_FOLDER\\bin\\v.exe"), "D:\\Tools\\Editor\\bin\\v.exe");
    EXPECT_EQ(Resolve("WINDOWS_FOLDERX\\a"), "D:\\Tools\\Editor\\a");
    // The first component ends at a real backslash, not at the trail byte of 淺.
    EXPECT_EQ(Resolve("\xE6\x5C\\a.exe"), "D:\\Tools\\Editor\\a.exe");
}

std::string Shorten(const std::string& path, int maxLength = 36) {
    char shown[512];
    install::ShortenPathForDisplay(path.c_str(), maxLength, shown, sizeof shown);
    return shown;
}

TEST(ShortenPathForDisplay, KeepsHeadEndOfFoldersAndTail) {
    EXPECT_EQ(Shorten("C:\\Program Files\\Some Application\\data\\images\\picture.bmp"),
              "C:\\...\\ation\\data\\images\\picture.bmp");
    const std::string exact = "C:\\" + std::string(29, 'a') + "\\b.txt";
    ASSERT_EQ(exact.size(), 38u);
    EXPECT_EQ(Shorten(exact.substr(2)), exact.substr(2)) << "36 bytes stay as they are";
    const std::string longer = "C:\\" + std::string(28, 'a') + "\\b.txt";  // 37 bytes
    EXPECT_EQ(Shorten(longer).size(), 36u);
    EXPECT_EQ(Shorten("C:\\" + std::string(40, 'n')), "...\\" + std::string(40, 'n'));
    EXPECT_EQ(Shorten("C:\\x\\" + std::string(40, 'n') + ".txt"),
              "...\\" + std::string(40, 'n') + ".txt");
}

TEST(ShortenPathForDisplay, NeverShowsHalfACharacter) {
    // The 17 kept bytes of the folder part would begin with the trail byte of 汉 (BA BA).
    const std::string folder = "C:\\" + std::string(20, 'x') + "\\\xBA\xBA" + std::string(16, 'y');
    const std::string path = folder + "\\picture.bmp";
    const std::string shown = Shorten(path);
    EXPECT_EQ(shown.size(), 36u);
    EXPECT_EQ(shown, "C:\\....\\" + std::string(16, 'y') + "\\picture.bmp");
}

// The host's full paths follow Windows' rules on the text; the Win32 tests hold the same table
// against the system's own resolution.
TEST(FullPath, FollowsWindowsRules) {
    for (const FullPathCase& c : kFullPathCases) {
        char full[1024];
        ASSERT_TRUE(platform::FullPath(c.path, full, sizeof full)) << c.path;
        EXPECT_STREQ(full, c.full) << c.path;
    }
    char full[1024];
    EXPECT_FALSE(platform::FullPath("relative\\x", full, sizeof full));
    EXPECT_FALSE(platform::FullPath("C:\\a\\b", full, 6));
}

TEST(StaysInside, OnlyWhatNeverLeavesItsBaseFolder) {
    for (const char* base : {"C:\\a\\b\\", "C:\\WINDOWS", "C:\\WINDOWS\\system32"}) {
        for (const InsideCase& c : kInsideCases) {
            EXPECT_EQ(install::StaysInside(base, c.relative, c.isFile), c.inside)
                << base << " + \"" << c.relative << "\"" << (c.isFile ? " (file)" : "");
        }
    }
}

TEST(StaysInside, EntriesAndSettingsAgainstTheirOwnBaseFolders) {
    const BaseFolders folders = Folders();
    EXPECT_TRUE(install::EntryStaysInside(folders, Entry("a.txt", 8, "docs")));
    EXPECT_TRUE(install::EntryStaysInside(folders, Entry("x.ini", 32, "")));
    // Each part on its own: the name also names shortcuts in folders of their own.
    EXPECT_FALSE(install::EntryStaysInside(folders, Entry("..\\x.txt", 8, "docs")));
    EXPECT_FALSE(install::EntryStaysInside(folders, Entry("x.txt", 8, "..\\..")));
    EXPECT_FALSE(install::EntryStaysInside(folders, Entry("x.dll", 16, "..")));

    EXPECT_TRUE(install::SettingStaysInside(folders, "INSTALL_FOLDER\\docs\\readme.txt"));
    EXPECT_TRUE(install::SettingStaysInside(folders, "WINDOWS_FOLDER\\notepad.exe"));
    EXPECT_TRUE(install::SettingStaysInside(folders, "viewer.exe"));
    EXPECT_FALSE(install::SettingStaysInside(folders, "SYSTEM_FOLDER\\..\\evil.exe"));
    EXPECT_FALSE(install::SettingStaysInside(folders, "INSTALL_FOLDER\\"));
    EXPECT_FALSE(install::SettingStaysInside(folders, "APP\\..\\..\\evil.exe"));
    EXPECT_FALSE(install::SettingStaysInside(folders, "APP/../../evil.exe"));
}

TEST(CheckPackagePaths, NamesTheFirstPathThatLeaves) {
    package::SetupModel model;
    model.fileList.Append(Entry("a.txt", 8, "docs"));
    model.fileList.Append(Entry("b.txt", 32, "sub"));
    std::snprintf(model.readmeFile, sizeof model.readmeFile, "INSTALL_FOLDER\\docs\\a.txt");
    std::snprintf(model.fileTypes[1].program, sizeof model.fileTypes[1].program,
                  "SYSTEM_FOLDER\\..\\x.exe");
    install::BaseFolders standIns;
    install::StandInFolders("", "", &standIns);
    EXPECT_STREQ(standIns.windowsDir, "C:\\Windows");
    EXPECT_STREQ(standIns.pageInstallDir, install::kStandInInstallDir);
    // A file type without an extension is none, whatever its program says.
    EXPECT_TRUE(install::CheckPackagePaths(model, standIns).ok());

    std::snprintf(model.fileTypes[1].extension, sizeof model.fileTypes[1].extension, "dmo");
    install::PathProblem problem = install::CheckPackagePaths(model, standIns);
    EXPECT_EQ(problem.what, install::PathProblem::FileType);
    EXPECT_EQ(problem.index, 1);
    std::snprintf(model.runProgram, sizeof model.runProgram, "WINDOWS_FOLDER\\..\\x.exe");
    EXPECT_EQ(install::CheckPackagePaths(model, standIns).what, install::PathProblem::RunProgram);
    model.fileList.Append(Entry("c.txt", 16, "..\\.."));
    problem = install::CheckPackagePaths(model, standIns);
    EXPECT_EQ(problem.what, install::PathProblem::File);
    EXPECT_EQ(problem.index, 2);
}

}  // namespace
