#include "ui/folder_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

using ui::FolderVerdict;

// A machine with the drives and folders a test gives it.
class FakeProbe : public ui::FolderProbe {
public:
    std::map<std::string, int> drives;
    std::set<std::string> folders;
    mutable std::string lastDrive;
    mutable std::string lastFolder;

    int DriveType(const char* drive) const override {
        lastDrive = drive;
        auto found = drives.find(drive);
        return found == drives.end() ? ui::kDriveNoRoot : found->second;
    }
    bool FolderExists(const char* path) const override {
        lastFolder = path;
        return folders.count(path) != 0;
    }
};

// "乗" in GBK is 0x81 0x5C: its trail byte is a backslash.
const std::string kTrailBackslash = "\x81\x5C";

// The rules write into buffers; these give their results as strings, and fail the test when a
// result did not fit.
std::string DefaultInstallFolder(const std::string& windows, const std::string& app) {
    char folder[512];
    EXPECT_TRUE(ui::DefaultInstallFolder(windows.c_str(), app.c_str(), folder, sizeof folder));
    return folder;
}
std::string WithFinalBackslash(const std::string& folder) {
    char out[512];
    EXPECT_TRUE(ui::WithFinalBackslash(folder.c_str(), out, sizeof out));
    return out;
}
std::string ParentFolder(const std::string& folder) {
    char parent[512];
    EXPECT_TRUE(ui::ParentFolder(folder.c_str(), parent, sizeof parent));
    return parent;
}
std::string BrowseStartFolder(const std::string& folder) {
    char start[512];
    EXPECT_TRUE(ui::BrowseStartFolder(folder.c_str(), start, sizeof start));
    return start;
}
FolderVerdict CheckParentFolder(const std::string& parent, const ui::FolderProbe& probe) {
    return ui::CheckParentFolder(parent.c_str(), probe);
}

TEST(FolderRules, DefaultFolderIsUnderProgramFilesOfTheWindowsDrive) {
    EXPECT_EQ(DefaultInstallFolder("C:\\WINDOWS", "Demo"), "C:\\Program Files\\Demo");
    EXPECT_EQ(DefaultInstallFolder("D:\\Win\\Sub", "演示程序"), "D:\\Program Files\\演示程序");
    EXPECT_EQ(DefaultInstallFolder("C:\\windows\\", ""), "C:\\Program Files\\");
}

TEST(FolderRules, DefaultFolderStepsOverDoubleByteCharacters) {
    // The Windows folder's drive part is found at the first real backslash only. A character
    // stands between the double-byte one and the backslash, so that a cut at the trail byte
    // cannot come out right by the backslash added afterwards.
    EXPECT_EQ(DefaultInstallFolder("C:" + kTrailBackslash + "x\\WINDOWS", "Demo"),
              "C:" + kTrailBackslash + "x\\Program Files\\Demo");
}

TEST(FolderRules, FinalBackslashIsAddedOnce) {
    EXPECT_EQ(WithFinalBackslash("C:\\Program Files\\Demo"), "C:\\Program Files\\Demo\\");
    EXPECT_EQ(WithFinalBackslash("C:\\Program Files\\Demo\\"), "C:\\Program Files\\Demo\\");
    EXPECT_EQ(WithFinalBackslash(""), "\\");
    // A name that ends in a character whose trail byte is 0x5C still needs its backslash.
    EXPECT_EQ(WithFinalBackslash("C:\\" + kTrailBackslash), "C:\\" + kTrailBackslash + "\\");
}

TEST(FolderRules, ParentIsTheFolderAboveTheLastLevel) {
    EXPECT_EQ(ParentFolder("C:\\Program Files\\Demo\\"), "C:\\Program Files");
    EXPECT_EQ(ParentFolder("D:\\Demo\\"), "D:");
    EXPECT_EQ(ParentFolder("C:\\"), "");
    EXPECT_EQ(ParentFolder("Demo\\"), "");
    EXPECT_EQ(ParentFolder("\\"), "");
    EXPECT_EQ(ParentFolder(""), "");
}

TEST(FolderRules, ParentIsNotCutInsideADoubleByteCharacter) {
    const std::string folder = "C:\\A" + kTrailBackslash + "B\\Demo\\";
    EXPECT_EQ(ParentFolder(folder), "C:\\A" + kTrailBackslash + "B");
    EXPECT_EQ(ParentFolder("C:\\" + kTrailBackslash + "\\"), "C:");
}

// Windows drops a final dot or blank from a name: such a folder would not be the one named. A
// trail byte 0x5C is no level's end.
TEST(FolderRules, NamesWindowsWouldChangeAreTold) {
    for (const char* folder : {"C:\\Apps.", "C:\\Apps \\X", "C:\\...", "C:\\\xD6\xD0 \\X",
                               "C:\\X\\. ", "C:\\\x95\\.\\X"})
        EXPECT_TRUE(ui::HasDroppedEnding(folder)) << folder;
    for (const char* folder : {"C:\\Apps", "C:\\Windows\\..\\Apps\\.\\X", "C:\\.", "C:\\a.b\\", ""})
        EXPECT_FALSE(ui::HasDroppedEnding(folder)) << folder;
    EXPECT_TRUE(ui::IsRootedPath("c:\\x") && ui::IsRootedPath("\\\\server\\share"));
    EXPECT_FALSE(ui::IsRootedPath("x") || ui::IsRootedPath("C:x") || ui::IsRootedPath("\\x"));
}

TEST(FolderRules, EmptyParentIsAnInvalidDrive) {
    FakeProbe probe;
    EXPECT_EQ(CheckParentFolder("", probe), FolderVerdict::InvalidDrive);
}

TEST(FolderRules, BareDrivesAreJudgedByTheirType) {
    FakeProbe probe;
    probe.drives = {{"C:", ui::kDriveFixed},   {"E:", ui::kDriveRemovable},
                    {"N:", ui::kDriveRemote},  {"R:", ui::kDriveCdRom},
                    {"M:", ui::kDriveRamDisk}, {"U:", ui::kDriveUnknown}};
    EXPECT_EQ(CheckParentFolder("C:", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastDrive, "C:");
    EXPECT_EQ(CheckParentFolder("C:\\", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastDrive, "C:");
    EXPECT_EQ(CheckParentFolder("E:", probe), FolderVerdict::FloppyDrive);
    EXPECT_EQ(CheckParentFolder("N:", probe), FolderVerdict::NetworkDrive);
    EXPECT_EQ(CheckParentFolder("R:", probe), FolderVerdict::InvalidDrive);
    EXPECT_EQ(CheckParentFolder("M:", probe), FolderVerdict::Pass);
    EXPECT_EQ(CheckParentFolder("U:", probe), FolderVerdict::Pass);
    EXPECT_EQ(CheckParentFolder("Q:", probe), FolderVerdict::InvalidDrive);
    EXPECT_TRUE(probe.lastFolder.empty()) << "a bare drive is never looked up as a folder";
}

TEST(FolderRules, MissingDrivesAAndBAreFloppies) {
    FakeProbe probe;
    for (const char* drive : {"A:", "a:", "B:", "b:"})
        EXPECT_EQ(CheckParentFolder(drive, probe), FolderVerdict::FloppyDrive) << drive;
    EXPECT_EQ(CheckParentFolder("X:", probe), FolderVerdict::InvalidDrive);
}

TEST(FolderRules, DeeperParentsMustExist) {
    FakeProbe probe;
    probe.folders = {"C:\\Program Files"};
    EXPECT_EQ(CheckParentFolder("C:\\Program Files", probe), FolderVerdict::Pass);
    EXPECT_EQ(CheckParentFolder("C:\\Program Files\\", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastFolder, "C:\\Program Files");
    EXPECT_EQ(CheckParentFolder("C:\\New", probe), FolderVerdict::InvalidFolder);
}

TEST(FolderRules, TheWholeChoiceFromTypedTextToVerdict) {
    FakeProbe probe;
    probe.drives = {{"C:", ui::kDriveFixed}, {"D:", ui::kDriveFixed}};
    probe.folders = {"C:\\Program Files"};
    auto verdict = [&](const std::string& typed) {
        return CheckParentFolder(ParentFolder(WithFinalBackslash(typed)), probe);
    };
    EXPECT_EQ(verdict("C:\\Program Files\\Demo"), FolderVerdict::Pass);
    EXPECT_EQ(verdict("C:\\Program Files\\Demo\\"), FolderVerdict::Pass);
    EXPECT_EQ(verdict("D:\\Demo"), FolderVerdict::Pass);
    EXPECT_EQ(verdict("D:\\"), FolderVerdict::InvalidDrive);
    EXPECT_EQ(verdict("C:\\"), FolderVerdict::InvalidDrive);
    EXPECT_EQ(verdict("Demo"), FolderVerdict::InvalidDrive);
    EXPECT_EQ(verdict(""), FolderVerdict::InvalidDrive);
    EXPECT_EQ(verdict("Q:\\Demo"), FolderVerdict::InvalidDrive);
    EXPECT_EQ(verdict("A:\\Demo"), FolderVerdict::FloppyDrive);
    EXPECT_EQ(verdict("C:\\New\\Demo"), FolderVerdict::InvalidFolder);
}

TEST(FolderRules, ResultsThatDoNotFitAreRefusedWhole) {
    char small[12];
    EXPECT_FALSE(ui::DefaultInstallFolder("C:\\WINDOWS", "Demo", small, sizeof small));
    EXPECT_FALSE(ui::WithFinalBackslash("C:\\12345678", small, sizeof small));
    EXPECT_TRUE(ui::WithFinalBackslash("C:\\1234567", small, sizeof small));
    EXPECT_STREQ(small, "C:\\1234567\\");
}

TEST(FolderRules, EveryRefusalHasItsMessage) {
    EXPECT_STREQ(ui::FolderVerdictMessage(FolderVerdict::InvalidDrive), "无效的驱动器");
    EXPECT_STREQ(ui::FolderVerdictMessage(FolderVerdict::FloppyDrive), "软盘驱动器");
    EXPECT_STREQ(ui::FolderVerdictMessage(FolderVerdict::NetworkDrive), "网络驱动器");
    EXPECT_STREQ(ui::FolderVerdictMessage(FolderVerdict::InvalidFolder), "无效的文件夹");
    EXPECT_STREQ(ui::FolderVerdictMessage(FolderVerdict::Pass), "");
    // GBK bytes, as every text of the system: 无 is 0xCE 0xDE.
    EXPECT_EQ(static_cast<unsigned char>(ui::FolderVerdictMessage(FolderVerdict::InvalidDrive)[0]),
              0xCE);
}

TEST(FolderRules, BrowseStartsFromTheTextWithoutItsEnd) {
    EXPECT_EQ(BrowseStartFolder("C:\\Program Files\\Demo\\"), "C:\\Program Files\\Demo");
    EXPECT_EQ(BrowseStartFolder("C:\\Program Files\\Demo/  \t"), "C:\\Program Files\\Demo");
    EXPECT_EQ(BrowseStartFolder("C:\\Demo\\\\"), "C:\\Demo\\") << "only one separator goes";
    EXPECT_EQ(BrowseStartFolder("C:\\" + kTrailBackslash), "C:\\" + kTrailBackslash);
    EXPECT_EQ(BrowseStartFolder("   "), "");
}

}  // namespace
