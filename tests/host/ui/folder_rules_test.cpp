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

    int DriveType(const std::string& drive) const override {
        lastDrive = drive;
        auto found = drives.find(drive);
        return found == drives.end() ? ui::kDriveNoRoot : found->second;
    }
    bool FolderExists(const std::string& path) const override {
        lastFolder = path;
        return folders.count(path) != 0;
    }
};

// "乗" in GBK is 0x81 0x5C: its trail byte is a backslash.
const std::string kTrailBackslash = "\x81\x5C";

TEST(FolderRules, DefaultFolderIsUnderProgramFilesOfTheWindowsDrive) {
    EXPECT_EQ(ui::DefaultInstallFolder("C:\\WINDOWS", "Demo"), "C:\\Program Files\\Demo");
    EXPECT_EQ(ui::DefaultInstallFolder("D:\\Win\\Sub", "演示程序"), "D:\\Program Files\\演示程序");
    EXPECT_EQ(ui::DefaultInstallFolder("C:\\windows\\", ""), "C:\\Program Files\\");
}

TEST(FolderRules, DefaultFolderStepsOverDoubleByteCharacters) {
    // The Windows folder's drive part is found at the first real backslash only.
    EXPECT_EQ(ui::DefaultInstallFolder("C:" + kTrailBackslash + "\\WINDOWS", "Demo"),
              "C:" + kTrailBackslash + "\\Program Files\\Demo");
}

TEST(FolderRules, FinalBackslashIsAddedOnce) {
    EXPECT_EQ(ui::WithFinalBackslash("C:\\Program Files\\Demo"), "C:\\Program Files\\Demo\\");
    EXPECT_EQ(ui::WithFinalBackslash("C:\\Program Files\\Demo\\"), "C:\\Program Files\\Demo\\");
    EXPECT_EQ(ui::WithFinalBackslash(""), "\\");
    // A name that ends in a character whose trail byte is 0x5C still needs its backslash.
    EXPECT_EQ(ui::WithFinalBackslash("C:\\" + kTrailBackslash), "C:\\" + kTrailBackslash + "\\");
}

TEST(FolderRules, ParentIsTheFolderAboveTheLastLevel) {
    EXPECT_EQ(ui::ParentFolder("C:\\Program Files\\Demo\\"), "C:\\Program Files");
    EXPECT_EQ(ui::ParentFolder("D:\\Demo\\"), "D:");
    EXPECT_EQ(ui::ParentFolder("C:\\"), "");
    EXPECT_EQ(ui::ParentFolder("Demo\\"), "");
    EXPECT_EQ(ui::ParentFolder("\\"), "");
    EXPECT_EQ(ui::ParentFolder(""), "");
}

TEST(FolderRules, ParentIsNotCutInsideADoubleByteCharacter) {
    const std::string folder = "C:\\A" + kTrailBackslash + "B\\Demo\\";
    EXPECT_EQ(ui::ParentFolder(folder), "C:\\A" + kTrailBackslash + "B");
    EXPECT_EQ(ui::ParentFolder("C:\\" + kTrailBackslash + "\\"), "C:");
}

TEST(FolderRules, EmptyParentIsAnInvalidDrive) {
    FakeProbe probe;
    EXPECT_EQ(ui::CheckParentFolder("", probe), FolderVerdict::InvalidDrive);
}

TEST(FolderRules, BareDrivesAreJudgedByTheirType) {
    FakeProbe probe;
    probe.drives = {{"C:", ui::kDriveFixed},   {"E:", ui::kDriveRemovable},
                    {"N:", ui::kDriveRemote},  {"R:", ui::kDriveCdRom},
                    {"M:", ui::kDriveRamDisk}, {"U:", ui::kDriveUnknown}};
    EXPECT_EQ(ui::CheckParentFolder("C:", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastDrive, "C:");
    EXPECT_EQ(ui::CheckParentFolder("C:\\", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastDrive, "C:");
    EXPECT_EQ(ui::CheckParentFolder("E:", probe), FolderVerdict::FloppyDrive);
    EXPECT_EQ(ui::CheckParentFolder("N:", probe), FolderVerdict::NetworkDrive);
    EXPECT_EQ(ui::CheckParentFolder("R:", probe), FolderVerdict::InvalidDrive);
    EXPECT_EQ(ui::CheckParentFolder("M:", probe), FolderVerdict::Pass);
    EXPECT_EQ(ui::CheckParentFolder("U:", probe), FolderVerdict::Pass);
    EXPECT_EQ(ui::CheckParentFolder("Q:", probe), FolderVerdict::InvalidDrive);
    EXPECT_TRUE(probe.lastFolder.empty()) << "a bare drive is never looked up as a folder";
}

TEST(FolderRules, MissingDrivesAAndBAreFloppies) {
    FakeProbe probe;
    for (const char* drive : {"A:", "a:", "B:", "b:"})
        EXPECT_EQ(ui::CheckParentFolder(drive, probe), FolderVerdict::FloppyDrive) << drive;
    EXPECT_EQ(ui::CheckParentFolder("X:", probe), FolderVerdict::InvalidDrive);
}

TEST(FolderRules, DeeperParentsMustExist) {
    FakeProbe probe;
    probe.folders = {"C:\\Program Files"};
    EXPECT_EQ(ui::CheckParentFolder("C:\\Program Files", probe), FolderVerdict::Pass);
    EXPECT_EQ(ui::CheckParentFolder("C:\\Program Files\\", probe), FolderVerdict::Pass);
    EXPECT_EQ(probe.lastFolder, "C:\\Program Files");
    EXPECT_EQ(ui::CheckParentFolder("C:\\New", probe), FolderVerdict::InvalidFolder);
}

TEST(FolderRules, TheWholeChoiceFromTypedTextToVerdict) {
    FakeProbe probe;
    probe.drives = {{"C:", ui::kDriveFixed}, {"D:", ui::kDriveFixed}};
    probe.folders = {"C:\\Program Files"};
    auto verdict = [&](const std::string& typed) {
        return ui::CheckParentFolder(ui::ParentFolder(ui::WithFinalBackslash(typed)), probe);
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
    EXPECT_EQ(ui::BrowseStartFolder("C:\\Program Files\\Demo\\"), "C:\\Program Files\\Demo");
    EXPECT_EQ(ui::BrowseStartFolder("C:\\Program Files\\Demo/  \t"), "C:\\Program Files\\Demo");
    EXPECT_EQ(ui::BrowseStartFolder("C:\\Demo\\\\"), "C:\\Demo\\") << "only one separator goes";
    EXPECT_EQ(ui::BrowseStartFolder("C:\\" + kTrailBackslash), "C:\\" + kTrailBackslash);
    EXPECT_EQ(ui::BrowseStartFolder("   "), "");
}

}  // namespace
