#include "install/install_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "package/install_records.h"
#include "platform/test_hooks.h"
#include "temp_dir.h"

namespace {

using package::kShortcutDesktop;
using package::kShortcutProgramGroup;
using package::kShortcutStartMenu;

// The shell as a record of what was made, in order; each folder is a word of the record.
class FakeShell : public install::ShortcutSystem {
public:
    void CreateLink(int32_t kind, const char* linkName, const char* target, char* logged,
                    size_t room) override {
        const std::string folder = kind == kShortcutDesktop     ? "D:\\Desk\\"
                                   : kind == kShortcutStartMenu ? "D:\\Start\\"
                                                                : "D:\\Programs\\Group\\";
        made.push_back("link " + folder + linkName + " -> " + target);
        if (!missingFolder)
            std::snprintf(logged, room, "%s%s",
                          loggedFolder.empty() ? folder.c_str() : loggedFolder.c_str(), linkName);
    }
    void CreateGroup(const char* uninstaller) override {
        made.push_back(std::string("group -> ") + uninstaller);
    }
    std::vector<std::string> made;
    bool missingFolder = false;
    std::string loggedFolder;  // the folder as GBK holds it, when it differs
};

class FinishTest : public ::testing::Test {
protected:
    FinishTest() {
        std::strcpy(folders.windowsDir, "C:\\WINDOWS");
        std::strcpy(folders.systemDir, "C:\\WINDOWS\\system32");
        std::strcpy(folders.pageInstallDir, "D:\\Tools\\Editor\\");
    }
    void AddFile(const char* name, int32_t flags, int32_t folderKind = package::kFolderInstall,
                 const char* sub = "") {
        package::FileEntry entry;
        std::strcpy(entry.fileName, name);
        std::strcpy(entry.subFolder, sub);
        entry.shortcutFlags = flags;
        entry.folderKind = folderKind;
        ASSERT_TRUE(model.fileList.Append(entry));
    }
    std::string Log(const install::ShortcutChoice& choice) {
        platform::TextBuffer log;
        install::BeginInstallLog(folders, model, &log);
        install::CreateShortcuts(folders, model, choice, shell, &log);
        EXPECT_TRUE(log.ok());
        return std::string(log.data(), log.size());
    }

    package::SetupModel model;
    install::BaseFolders folders;
    FakeShell shell;
};

install::ShortcutChoice Boxes(bool desktop, bool startMenu, bool programGroup) {
    install::ShortcutChoice choice;
    choice.desktop = desktop;
    choice.startMenu = startMenu;
    choice.programGroup = programGroup;
    return choice;
}

TEST_F(FinishTest, TwoFilesOneTypeOneDesktopLinkGiveTheNineLines) {
    AddFile("editor.exe", kShortcutDesktop, package::kFolderInstall);
    AddFile("grid.ocx", 0, package::kFolderSystem);
    std::strcpy(model.fileTypes[1].extension, "edt");
    EXPECT_EQ(Log(Boxes(true, false, true)),
              "[FILELIST]\r\r\n"
              "D:\\Tools\\Editor\\editor.exe\r\r\n"
              "C:\\WINDOWS\\system32\\grid.ocx\r\r\n"
              "\r\r\n"
              "[TYPELIST]\r\r\n"
              "edt\r\r\n"
              "\r\r\n"
              "[SHORTCUTLIST]\r\r\n"
              "D:\\Desk\\editor.lnk\r\r\n");
}

TEST_F(FinishTest, EmptyListAndNoTypesStillWriteEveryHeader) {
    EXPECT_EQ(Log(Boxes(true, true, true)),
              "[FILELIST]\r\r\n\r\r\n[TYPELIST]\r\r\n\r\r\n[SHORTCUTLIST]\r\r\n");
    EXPECT_TRUE(shell.made.empty());
}

TEST_F(FinishTest, AllKindsComeInOrderAndTheGroupIsMadeOnce) {
    AddFile("viewer.exe", 7, package::kFolderInstall, "bin");
    AddFile("my.tool.exe", kShortcutProgramGroup);
    const std::string log = Log(Boxes(true, true, true));
    EXPECT_EQ(shell.made, (std::vector<std::string>{
                              "link D:\\Desk\\viewer.lnk -> D:\\Tools\\Editor\\bin\\viewer.exe",
                              "link D:\\Start\\viewer.lnk -> D:\\Tools\\Editor\\bin\\viewer.exe",
                              "group -> D:\\Tools\\Editor\\unwise.exe",
                              "link D:\\Programs\\Group\\viewer.lnk -> "
                              "D:\\Tools\\Editor\\bin\\viewer.exe",
                              "link D:\\Programs\\Group\\my.lnk -> D:\\Tools\\Editor\\my.tool.exe",
                          }));
    // The uninstaller's own link is never listed.
    EXPECT_NE(log.find("[SHORTCUTLIST]\r\r\nD:\\Desk\\viewer.lnk\r\r\nD:\\Start\\viewer.lnk\r\r\n"
                       "D:\\Programs\\Group\\viewer.lnk\r\r\nD:\\Programs\\Group\\my.lnk\r\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("unwise"), std::string::npos);
}

TEST_F(FinishTest, UncheckedBoxesOrUnflaggedFilesMakeNothing) {
    AddFile("viewer.exe", kShortcutDesktop | kShortcutStartMenu);
    // The group box checked, but no file asks for the group: no folder, no uninstaller link.
    std::string log = Log(Boxes(false, false, true));
    EXPECT_TRUE(shell.made.empty());
    EXPECT_EQ(log.substr(log.size() - 17), "[SHORTCUTLIST]\r\r\n");
}

TEST_F(FinishTest, ALinkWithoutItsFolderIsLeftOutAndTheRestGoesOn) {
    AddFile("a.exe", kShortcutDesktop);
    AddFile("b.exe", kShortcutDesktop);
    shell.missingFolder = true;
    const std::string log = Log(Boxes(true, false, false));
    EXPECT_EQ(shell.made.size(), 2u);
    EXPECT_EQ(log.substr(log.size() - 17), "[SHORTCUTLIST]\r\r\n");
}

std::vector<std::string> Lines(const package::LineList& list) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < list.count(); ++i) lines.push_back(list.at(i));
    return lines;
}

// What the finish step writes is what the uninstaller reads, byte for byte of every name: GBK
// names whose trail byte is that of "\", and a link folder that GBK could not hold.
TEST_F(FinishTest, TheUninstallerReadsBackWhatTheInstallerWrote) {
    std::strcpy(folders.pageInstallDir, "D:\\\xB1\xED\\");                           // 表
    AddFile("\x95\x5C.exe", kShortcutDesktop, package::kFolderInstall, "\x95\x5C");  // 昞
    AddFile("b.dll", 0, package::kFolderSystem);
    std::strcpy(model.fileTypes[0].extension, "\x95\x5C");
    std::strcpy(model.fileTypes[1].extension, "abc");
    shell.loggedFolder = "C:\\Users\\???\\Desktop\\";
    const std::string log = Log(Boxes(true, false, false));
    package::InstallLog read;
    ASSERT_TRUE(package::ReadInstallLog(log.data(), log.size(), &read).ok()) << log;
    EXPECT_EQ(Lines(read.files), (std::vector<std::string>{"D:\\\xB1\xED\\\x95\x5C\\\x95\x5C.exe",
                                                           "C:\\WINDOWS\\system32\\b.dll"}));
    EXPECT_EQ(Lines(read.types), (std::vector<std::string>{"\x95\x5C", "abc"}));
    EXPECT_EQ(Lines(read.links),
              (std::vector<std::string>{"C:\\Users\\???\\Desktop\\\x95\x5C.lnk"}));

    platform::TextBuffer list;
    const std::string earlier = "D:\\\xB1\xED\\old.txt\r\n";
    install::MergeWrittenList(earlier.data(), earlier.size(),
                              (read.files.at(0) + std::string("\n")).c_str(), &list);
    package::LineList files;
    ASSERT_TRUE(package::ReadFileList(list.data(), list.size(), &files).ok());
    EXPECT_EQ(Lines(files), (std::vector<std::string>{"D:\\\xB1\xED\\old.txt", read.files.at(0)}));
}

std::string Merge(const std::string& earlier, const std::string& written) {
    platform::TextBuffer list;
    install::MergeWrittenList(earlier.data(), earlier.size(), written.c_str(), &list);
    EXPECT_TRUE(list.ok());
    return std::string(list.data(), list.size());
}

TEST(WrittenList, ASecondInstallationKeepsTheFirstOnesFiles) {
    EXPECT_EQ(Merge("", "C:\\A\\x.exe\nC:\\A\\y.dll\n"), "C:\\A\\x.exe\r\nC:\\A\\y.dll\r\n");
    // Any line ends, duplicates once, as Windows compares names, the earlier order first.
    EXPECT_EQ(Merge("C:\\A\\old.txt\r\nC:\\a\\X.EXE\n\r\n", "C:\\A\\x.exe\nC:\\A\\new.txt\n"),
              "C:\\A\\old.txt\r\nC:\\a\\X.EXE\r\nC:\\A\\new.txt\r\n");
    // Two characters that differ only in a trail byte's letter case are two names.
    EXPECT_EQ(Merge("C:\\\x81\x41\r\n", "C:\\\x81\x61\n"), "C:\\\x81\x41\r\nC:\\\x81\x61\r\n");
    // Full-width and Cyrillic letters fold as ASCII ones do: ＡЯ.txt once.
    EXPECT_EQ(Merge("C:\\\xA3\xC1\xA7\xC1.txt\r\n", "c:\\\xA3\xE1\xA7\xF1.TXT\n"),
              "C:\\\xA3\xC1\xA7\xC1.txt\r\n");
}

TEST(WrittenList, ThousandsOfPathsMergeOnceEach) {
    std::string earlier, written, expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string path = "C:\\App\\f" + std::to_string(i) + ".dat";
        earlier += path + "\r\n";
        expected += path + "\r\n";
        if (i % 2 == 0) written += path + "\n";
    }
    written += "C:\\App\\new.dat\n";
    EXPECT_EQ(Merge(earlier, written), expected + "C:\\App\\new.dat\r\n");
}

TEST(WholeFile, ReplacesOnlyWithACompleteTextAndKeepsTheOldOneOnFailure) {
    TempDir dir;
    const TestPath log = dir.File("setup.log");
    WriteBytes(log, "old log");
    {
        platform::WholeFile file;
        ASSERT_TRUE(file.Begin(log));
        // Never finished (the program ended, or nothing could be built): the old log stays and
        // no new file is left beside it.
    }
    EXPECT_EQ(ReadBytes(log), "old log");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);

    platform::SetWriteHook([](size_t, platform::ErrorCode* error) {
        *error = 28;  // ENOSPC
        return false;
    });
    {
        platform::WholeFile file;
        ASSERT_TRUE(file.Begin(log));
        EXPECT_EQ(file.Finish("new", 3), platform::WholeFile::Result::CannotWrite);
        EXPECT_EQ(file.error(), 28u);
    }
    platform::SetWriteHook(nullptr);
    EXPECT_EQ(ReadBytes(log), "old log");

    platform::WholeFile file;
    ASSERT_TRUE(file.Begin(log));
    EXPECT_EQ(file.Finish("new log", 7), platform::WholeFile::Result::Saved);
    EXPECT_EQ(ReadBytes(log), "new log");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
