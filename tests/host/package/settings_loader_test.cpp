#include "package/settings_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package_builder.h"

using package::LoadResult;
using package::SetupModel;

namespace {
class LoaderTest : public ::testing::Test {
protected:
    LoadResult Load(const TestPackage& pkg) {
        pkg.Write(dir.File("setup.exe"));
        return package::LoadSettings(dir.File("setup.exe"), &model);
    }
    TempDir dir;
    SetupModel model;
};
}  // namespace

TEST_F(LoaderTest, EverySettingLandsInItsField) {
    TestPackage pkg;
    for (int i = 0; i < 40; ++i) pkg.items[i] = "line" + std::to_string(i);
    pkg.items[41 - 1] = "Demo App";
    pkg.items[42 - 1] = "readme.txt";
    pkg.items[43 - 1] = "demo.exe";
    for (int i = 0; i < 4; ++i) pkg.items[44 - 1 + i] = "un" + std::to_string(i);
    pkg.items[48 - 1] = "ignored";
    pkg.items[49 - 1] = "1234";
    pkg.items[50 - 1] = "5678";
    pkg.items[51 - 1] = "766";
    pkg.items[52 - 1] = "9999";
    pkg.items[53 - 1] = "viewer.exe";
    pkg.items[54 - 1] = "txt";
    pkg.items[55 - 1] = "other.exe";
    pkg.items[56 - 1] = "dat";
    pkg.items[57 - 1] = "TRUE";
    pkg.items[58 - 1] = "100";
    pkg.items[59 - 1] = "200";
    pkg.items[60 - 1] = "Background";
    pkg.items[61 - 1] = "16711680";
    pkg.items[62 - 1] = "TRUE";
    pkg.AddFile("a.exe", "WINDOWS_FOLDER", "sub\\dir", 7, "NOTEXIST_COPY", 10, 20, true);
    pkg.AddFile("b.dll", "SYSTEM_FOLDER", "", 0, "ASK_COPY", 30, 40, false);
    pkg.AddFile("c.txt", "", "docs", 2, "", 50, 60, false);
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);

    EXPECT_STREQ(model.pageTexts[0].line0, "line0");
    EXPECT_STREQ(model.pageTexts[1].line2, "line10");
    EXPECT_STREQ(model.pageTexts[4].line7, "line39");
    EXPECT_STREQ(model.appName, "Demo App");
    EXPECT_STREQ(model.readmeFile, "readme.txt");
    EXPECT_STREQ(model.runProgram, "demo.exe");
    EXPECT_STREQ(model.uninstallTexts[3], "un3");
    EXPECT_EQ(model.pictureLength, 1234);
    EXPECT_EQ(model.pictureOffset, 5678);
    EXPECT_EQ(model.iconLength, 766);
    EXPECT_EQ(model.iconOffset, 9999);
    EXPECT_STREQ(model.fileTypes[0].program, "viewer.exe");
    EXPECT_STREQ(model.fileTypes[0].extension, "txt");
    EXPECT_STREQ(model.fileTypes[1].program, "other.exe");
    EXPECT_STREQ(model.fileTypes[1].extension, "dat");
    EXPECT_EQ(model.showBackground, 1);
    EXPECT_EQ(model.backgroundPictureLength, 100);
    EXPECT_EQ(model.backgroundPictureOffset, 200);
    EXPECT_STREQ(model.backgroundCaption, "Background");
    EXPECT_EQ(model.backgroundColor, 0xFF0000u);
    EXPECT_EQ(model.backgroundHasCaption, 1);

    ASSERT_EQ(model.fileList.count, 3);
    model.fileList.SeekTo(0);
    const package::FileEntry* a = model.fileList.Current();
    EXPECT_STREQ(a->fileName, "a.exe");
    EXPECT_EQ(a->folderKind, package::kFolderWindows);
    EXPECT_STREQ(a->subFolder, "sub\\dir");
    EXPECT_EQ(a->shortcutFlags, 7);
    EXPECT_EQ(a->overwriteMode, package::kOverwriteIfMissing);
    EXPECT_EQ(a->dataLength, 10);
    EXPECT_EQ(a->dataOffset, 20);
    EXPECT_EQ(a->compressed, 1);
    model.fileList.SeekTo(1);
    EXPECT_EQ(model.fileList.Current()->folderKind, package::kFolderSystem);
    EXPECT_EQ(model.fileList.Current()->overwriteMode, package::kOverwriteAsk);
    EXPECT_EQ(model.fileList.Current()->compressed, 0);
    model.fileList.SeekTo(2);
    EXPECT_EQ(model.fileList.Current()->folderKind, package::kFolderInstall);
    EXPECT_EQ(model.fileList.Current()->overwriteMode, package::kOverwriteAlways);

    // The temporary copy of the block is gone.
}

TEST_F(LoaderTest, KeywordsAndFlagsAreExactAndCaseSensitive) {
    TestPackage pkg;
    pkg.items[57 - 1] = "True";
    pkg.items[62 - 1] = "TRUE ";
    pkg.AddFile("a", "windows_folder", "", 0, "ask_copy", 0, 0, false);
    pkg.items.back() = "true";
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);
    EXPECT_EQ(model.showBackground, 0);
    EXPECT_EQ(model.backgroundHasCaption, 0);
    model.fileList.SeekTo(0);
    EXPECT_EQ(model.fileList.Current()->folderKind, package::kFolderInstall);
    EXPECT_EQ(model.fileList.Current()->overwriteMode, package::kOverwriteAlways);
    EXPECT_EQ(model.fileList.Current()->compressed, 0);
}

TEST_F(LoaderTest, EmptyFileListAndEmptyNameEndTheList) {
    TestPackage pkg;
    pkg.items[40] = "App";
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);
    EXPECT_EQ(model.fileList.count, 0);

    SetupModel second;
    TestPackage two;
    two.AddFile("a", "", "", 0, "", 1, 1, false);
    two.AddFile("", "", "", 0, "", 1, 1, false);
    two.AddFile("never", "", "", 0, "", 1, 1, false);
    two.Write(dir.File("two.exe"));
    ASSERT_EQ(package::LoadSettings(dir.File("two.exe"), &second), LoadResult::Loaded);
    EXPECT_EQ(second.fileList.count, 1);
}

TEST_F(LoaderTest, BlockCutAfterTheApplicationName) {
    TestPackage pkg;
    pkg.items.resize(41);
    pkg.items[40] = "Only Name";
    pkg.items[0] = "welcome";
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);
    EXPECT_STREQ(model.appName, "Only Name");
    EXPECT_STREQ(model.pageTexts[0].line0, "welcome");
    EXPECT_STREQ(model.readmeFile, "");
    EXPECT_EQ(model.pictureLength, 0);
    EXPECT_EQ(model.showBackground, 0);
    EXPECT_EQ(model.fileList.count, 0);
}

TEST_F(LoaderTest, OverlongItemsAreCutAtTheirFieldsRoom) {
    TestPackage pkg;
    const std::string big(531, 'a');
    for (std::string& item : pkg.items) item = big;
    for (int i : {48, 49, 50, 51, 52, 57, 58, 59, 61, 62}) pkg.items[i - 1] = "1";
    pkg.items[54 - 1] = "exe_too_long";
    pkg.items[53 - 1] = "program.exe";
    pkg.AddFile(big, "", big, 0, "", 0, 0, false);
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);  // under AddressSanitizer: no overrun either
    EXPECT_EQ(std::string(model.pageTexts[0].line0).size(), 255u);
    EXPECT_EQ(std::string(model.pageTexts[0].line2).size(), 527u);
    EXPECT_EQ(std::string(model.appName).size(), 255u);
    EXPECT_EQ(std::string(model.backgroundCaption).size(), 67u);
    EXPECT_STREQ(model.fileTypes[0].extension, "exe");
    EXPECT_STREQ(model.fileTypes[0].program, "program.exe");
    EXPECT_EQ(std::string(model.fileTypes[1].program).size(), 254u);
    EXPECT_EQ(std::string(model.uninstallTexts[0]).size(), 531u);
    model.fileList.SeekTo(0);
    EXPECT_EQ(std::string(model.fileList.Current()->fileName).size(), 255u);
    EXPECT_EQ(std::string(model.fileList.Current()->subFolder).size(), 255u);
}

TEST_F(LoaderTest, CutNeverSplitsAChineseCharacter) {
    TestPackage pkg;
    // Two ASCII bytes, then two-byte characters: a cut at 255 bytes would fall inside one.
    std::string text = "xy";
    for (int i = 0; i < 200; ++i) text += "\xB0\xB2";
    pkg.items[40] = text;
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);
    EXPECT_EQ(std::string(model.appName), text.substr(0, 254));
}

TEST_F(LoaderTest, DamagedPackagesAreReported) {
    WriteBytes(dir.File("none.exe"), std::string(4000, 'x'));
    EXPECT_EQ(package::LoadSettings(dir.File("none.exe"), &model), LoadResult::NoTrailer);
    EXPECT_EQ(package::LoadSettings(dir.File("missing.exe"), &model),
              LoadResult::NoTrailer);
    for (const char* trailer :
         {"&LEN:abc,SEEK:xyz.", "&LEN:100,SEEK:3950.", "&LEN:-5,SEEK:10.", "&LEN:10,SEEK:-10."}) {
        WriteBytes(dir.File("bad.exe"), std::string(4000, 'x') + trailer);
        EXPECT_EQ(package::LoadSettings(dir.File("bad.exe"), &model),
                  LoadResult::BadTrailer)
            << trailer;
    }
}

TEST_F(LoaderTest, LineEndAfterTheTrailerIsTolerated) {
    TestPackage pkg;
    pkg.items[40] = "App";
    pkg.extraAfterTrailer = "\r\n";
    ASSERT_EQ(Load(pkg), LoadResult::Loaded);
    EXPECT_STREQ(model.appName, "App");
}
