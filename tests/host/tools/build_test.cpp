// sfxpack build and verify as a publisher runs them: the real program on manifests written
// into a scratch folder, behind a dummy stub. Manifests are UTF-8 (u8 literals); what the
// package stores is GBK (plain literals, which this tree compiles to GBK).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "install/package_pieces.h"
#include "install/path_rules.h"
#include "package/settings_layout.h"
#include "package/settings_loader.h"
#include "package_builder.h"

namespace {

namespace fs = std::filesystem;

const std::string kStub = std::string("MZ") + std::string(500, '\x90') +
                          std::string("sfx-decodes: lzw lzma lzma-solid\0stub end", 41);

// Bytes that LZW cannot shrink, the same on every run.
std::string Noise(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string Repetitive(size_t size) {
    std::string bytes;
    while (bytes.size() < size) bytes += "the same line again and again\n";
    return bytes.substr(0, size);
}

class BuildTest : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(dir.File("stub.exe"), kStub); }

    void Write(const std::string& relative, const std::string& bytes) {
        fs::create_directories(fs::path(dir.File(relative)).parent_path());
        WriteBytes(dir.File(relative), bytes);
    }

    // Runs the real sfxpack in the scratch folder; stdout and stderr are kept.
    int Run(const std::string& args, const std::string& environment = "") {
        const std::string command = "cd '" + dir.path() + "' && " + environment + " " +
                                    SFXPACK_PATH + " " + args + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        out = ReadBytes(dir.File("out.txt"));
        err = ReadBytes(dir.File("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Build(const std::string& manifest) {
        Write("setup.toml", manifest);
        return Run("build setup.toml -o setup.exe --stub stub.exe --quiet");
    }
    std::vector<std::string> Leftovers() const { return TemporaryOutputsIn(dir.path()); }

    TempDir dir;
    std::string out, err;
};

// Every setting of the manifest, in one package.
const char kEverySetting[] =
    u8R"(
[application]
name = "演示 Demo"
readme = "docs/读我.txt"
run = "程序/app.exe"
run-folder = "install"

[pages]
welcome = ["w0", "w1", "w2", "w3", "w4", "w5", "w6", "欢迎w7"]
agreement = ["a0", "a1"]
agreement-text = "license.txt"
folder = ["f0", "f1", "f2", "目录f3"]
progress = ["p0"]
finish = ["e0", "e1", "完成e2"]

[uninstaller]
texts = ["u0", "卸载", "", "u3"]

[wizard]
picture = "side.bmp"
icon = "app.ico"

[background]
show = true
picture = "bg.jpg"
caption = "背景 caption"
color = "#102030"
title-bar = true

[[file-type]]
extension = "dmo"
program = "程序/app.exe"

[[file-type]]
extension = "LOG"
program = "notepad.exe"
program-folder = "windows"

[[files]]
source = "bin"
subfolder = "程序"
shortcuts = ["desktop", "program-group"]
overwrite = "ask"

[[files]]
source = "docs/*.txt"
subfolder = "docs/"
shortcuts = ["start-menu"]
overwrite = "if-missing"

[[files]]
source = "sys.dll"
base = "system"
compress = false

[[files]]
source = "win.ini"
base = "windows"
)";

class EverySettingTest : public BuildTest {
protected:
    virtual std::string Compression() const { return ""; }
    void SetUp() override {
        BuildTest::SetUp();
        Write("license.txt", std::string(u8"\xEF\xBB\xBF第一条\n第二条\n\n"));
        Write("side.bmp", "BM" + std::string(60, 'b'));
        // One image of 24 bytes, right after its directory entry.
        const std::string directory("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x18\0\0\0\x16\0\0\0", 22);
        Write("app.ico", directory + std::string(24, 'i'));
        Write("bg.jpg", "\xFF\xD8\xFF\xE0" + std::string(80, 'j'));
        Write("bin/app.exe", Noise(3000));
        Write("bin/empty.dat", "");
        Write("bin/sub/data.txt", Repetitive(20000));
        Write("bin/sub/same.txt", Repetitive(20000));
        Write(u8"docs/读我.txt", Repetitive(500));
        Write("docs/a.txt", "a");
        Write("docs/skipped.md", "not matched");
        Write("sys.dll", Repetitive(4000));
        Write("win.ini", "[x]\r\n");
        ASSERT_EQ(Build(kEverySetting + Compression()), 0) << err;
    }
};

// The same package with each compression method.
class EveryMethodTest : public EverySettingTest, public ::testing::WithParamInterface<const char*> {
protected:
    std::string Compression() const override { return GetParam(); }
};
INSTANTIATE_TEST_SUITE_P(Methods, EveryMethodTest,
                         ::testing::Values("", "[compression]\nmethod = \"lzma\"\n",
                                           "[compression]\nmethod = \"lzma-solid\"\nlevel = 1\n"));

TEST_F(EverySettingTest, TheInstallersLoaderReadsBackEverySetting) {
    package::SetupModel m;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &m),
              package::LoadResult::Loaded);
    EXPECT_STREQ(m.pageTexts[0].line0, "w0");
    EXPECT_STREQ(m.pageTexts[0].line7, "欢迎w7");
    EXPECT_STREQ(m.pageTexts[1].line1, "a1");
    // The file's line ends become CR LF for the edit control; the trailing ones and the BOM go.
    EXPECT_STREQ(m.pageTexts[1].line2, "第一条\r\n第二条");
    EXPECT_STREQ(m.pageTexts[2].line3, "目录f3");
    EXPECT_STREQ(m.pageTexts[3].line0, "p0");
    EXPECT_STREQ(m.pageTexts[3].line1, "");
    EXPECT_STREQ(m.pageTexts[4].line2, "完成e2");
    EXPECT_STREQ(m.appName, "演示 Demo");
    EXPECT_STREQ(m.readmeFile, "INSTALL_FOLDER\\docs\\读我.txt");
    EXPECT_STREQ(m.runProgram, "INSTALL_FOLDER\\程序\\app.exe");
    EXPECT_STREQ(m.uninstallTexts[0], "u0");
    EXPECT_STREQ(m.uninstallTexts[1], "卸载");
    EXPECT_STREQ(m.uninstallTexts[2], "");
    EXPECT_STREQ(m.uninstallTexts[3], "u3");
    EXPECT_STREQ(m.fileTypes[0].extension, "dmo");
    EXPECT_STREQ(m.fileTypes[0].program, "INSTALL_FOLDER\\程序\\app.exe");
    EXPECT_STREQ(m.fileTypes[1].extension, "LOG");
    EXPECT_STREQ(m.fileTypes[1].program, "WINDOWS_FOLDER\\notepad.exe");
    EXPECT_EQ(m.showBackground, 1);
    EXPECT_STREQ(m.backgroundCaption, "背景 caption");
    EXPECT_EQ(m.backgroundColor, 0x00302010u);
    EXPECT_EQ(m.backgroundHasCaption, 1);

    // Pictures and icon: right after the stub, each exactly its file.
    const std::string package = ReadBytes(dir.File("setup.exe"));
    EXPECT_EQ(package.compare(0, kStub.size(), kStub), 0);
    EXPECT_EQ(m.pictureOffset, static_cast<int32_t>(kStub.size()));
    EXPECT_EQ(package.substr(m.pictureOffset, m.pictureLength), ReadBytes(dir.File("side.bmp")));
    EXPECT_EQ(package.substr(m.iconOffset, m.iconLength), ReadBytes(dir.File("app.ico")));
    EXPECT_EQ(package.substr(m.backgroundPictureOffset, m.backgroundPictureLength),
              ReadBytes(dir.File("bg.jpg")));

    struct Expected {
        const char* name;
        int32_t folderKind;
        const char* subFolder;
        int32_t shortcuts;
        int32_t overwrite;
        bool compressed;
        std::string source;
    };
    // Rule order, sorted within a rule; compressed only where that saves bytes and is allowed.
    const Expected expected[] = {
        {"app.exe", package::kFolderInstall, "程序", 5, package::kOverwriteAsk, false,
         "bin/app.exe"},
        {"empty.dat", package::kFolderInstall, "程序", 5, package::kOverwriteAsk, false,
         "bin/empty.dat"},
        {"data.txt", package::kFolderInstall, "程序\\sub", 5, package::kOverwriteAsk, true,
         "bin/sub/data.txt"},
        {"same.txt", package::kFolderInstall, "程序\\sub", 5, package::kOverwriteAsk, true,
         "bin/sub/same.txt"},
        {"a.txt", package::kFolderInstall, "docs", 2, package::kOverwriteIfMissing, false,
         "docs/a.txt"},
        {"读我.txt", package::kFolderInstall, "docs", 2, package::kOverwriteIfMissing, true,
         u8"docs/读我.txt"},
        {"sys.dll", package::kFolderSystem, "", 0, package::kOverwriteAlways, false, "sys.dll"},
        {"win.ini", package::kFolderWindows, "", 0, package::kOverwriteAlways, false, "win.ini"},
    };
    ASSERT_EQ(m.fileList.count, static_cast<int32_t>(std::size(expected)));
    int index = 0;
    for (const package::FileEntry* e = m.fileList.first; e; e = e->next, ++index) {
        const Expected& x = expected[index];
        SCOPED_TRACE(x.source);
        EXPECT_STREQ(e->fileName, x.name);
        EXPECT_EQ(e->folderKind, x.folderKind);
        EXPECT_STREQ(e->subFolder, x.subFolder);
        EXPECT_EQ(e->shortcutFlags, x.shortcuts);
        EXPECT_EQ(e->overwriteMode, x.overwrite);
        EXPECT_EQ(e->compressed, x.compressed ? 1 : 0);
        if (!x.compressed)
            EXPECT_EQ(package.substr(e->dataOffset, e->dataLength), ReadBytes(dir.File(x.source)));
        else
            EXPECT_LT(e->dataLength, static_cast<int32_t>(ReadBytes(dir.File(x.source)).size()));
    }
}

TEST_P(EveryMethodTest, ExtractGivesBackEveryFileAndVerifyFindsItSound) {
    ASSERT_EQ(Run("extract setup.exe -d out"), 0) << err;
    const std::pair<const char*, const char*> files[] = {
        {u8"out/install/程序/app.exe", "bin/app.exe"},
        {u8"out/install/程序/empty.dat", "bin/empty.dat"},
        {u8"out/install/程序/sub/data.txt", "bin/sub/data.txt"},
        {u8"out/install/程序/sub/same.txt", "bin/sub/same.txt"},
        {"out/install/docs/a.txt", "docs/a.txt"},
        {u8"out/install/docs/读我.txt", u8"docs/读我.txt"},
        {"out/system/sys.dll", "sys.dll"},
        {"out/windows/win.ini", "win.ini"},
    };
    for (const auto& [extracted, source] : files) {
        ASSERT_TRUE(fs::exists(dir.File(extracted))) << extracted;
        EXPECT_EQ(ReadBytes(dir.File(extracted)), ReadBytes(dir.File(source))) << extracted;
    }
    EXPECT_EQ(Run("verify setup.exe"), 0) << out;
}

// What the installer checks at start-up, before its first page: the package as the packer made
// it passes; cut in the middle at any piece's boundary or a byte either side (the settings block
// and a trailer pointing at it following, as a download that lost those bytes would have them),
// it is refused whenever the cut takes bytes of a piece.
TEST_P(EveryMethodTest, TheStartUpTakesItWholeAndRefusesItCutAtAnyPiece) {
    const auto check = [&](const std::string& name) {
        package::SetupModel m;
        package::PackageTrailer trailer;
        EXPECT_EQ(package::LoadSettings(dir.File(name), &m, &trailer),
                  package::LoadResult::Loaded);
        platform::RawFile file;
        EXPECT_TRUE(file.OpenRead(dir.File(name)));
        return install::CheckPackagePieces(m, trailer.offset, file);
    };
    ASSERT_TRUE(check("setup.exe").ok());
    package::SetupModel m;
    package::PackageTrailer trailer;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &m, &trailer),
              package::LoadResult::Loaded);
    install::BaseFolders standIns;
    install::StandInFolders("C:\\WINDOWS", "C:\\WINDOWS\\system32", &standIns);
    EXPECT_TRUE(install::CheckPackagePaths(m, standIns).ok());

    std::vector<std::pair<int64_t, int64_t>> pieces = {
        {m.pictureOffset, m.pictureLength},
        {m.iconOffset, m.iconLength},
        {m.backgroundPictureOffset, m.backgroundPictureLength}};
    for (const package::FileEntry* e = m.fileList.first; e; e = e->next)
        if (e->dataLength > 0) pieces.push_back({e->dataOffset, e->dataLength});
    std::set<int64_t> cuts;
    int64_t last = 0;
    for (const auto& [offset, length] : pieces) {
        last = std::max(last, offset + length);
        for (int64_t edge : {offset, offset + length})
            for (int64_t cut : {edge - 1, edge, edge + 1}) cuts.insert(cut);
    }
    const std::string good = ReadBytes(dir.File("setup.exe"));
    const std::string block = good.substr(trailer.offset, trailer.length);
    int refused = 0;
    for (int64_t cut : cuts) {
        if (cut <= 0 || cut >= last) continue;
        char text[package::kTrailerRoom];
        package::FormatTrailer(trailer.length, static_cast<int32_t>(cut), text);
        WriteBytes(dir.File("cut.exe"), good.substr(0, cut) + block + text);
        EXPECT_FALSE(check("cut.exe").ok()) << "cut at " << cut;
        ++refused;
    }
    // At least the cuts at both ends of each piece (most lie back to back, and the files of a
    // solid stream share one).
    EXPECT_GE(refused,
              2 * static_cast<int>(
                      std::set<std::pair<int64_t, int64_t>>(pieces.begin(), pieces.end()).size()));
}

TEST_P(EveryMethodTest, TheSameInputsGiveTheSameBytes) {
    const std::string first = ReadBytes(dir.File("setup.exe"));
    ASSERT_EQ(Run("build setup.toml -o again.exe --stub stub.exe --quiet"), 0) << err;
    EXPECT_EQ(ReadBytes(dir.File("again.exe")), first);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(EverySettingTest, VerifyReportsEachDamage) {
    const std::string good = ReadBytes(dir.File("setup.exe"));
    package::SetupModel m;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &m),
              package::LoadResult::Loaded);
    const package::FileEntry* data = m.fileList.first->next->next;  // the compressed data.txt
    ASSERT_TRUE(data->compressed);

    // A damaged stream in the middle of the compressed file.
    std::string bad = good;
    for (int i = 60; i < 200; ++i) bad[data->dataOffset + i] = '\xFF';
    WriteBytes(dir.File("bad.exe"), bad);
    EXPECT_EQ(Run("verify bad.exe"), 1);
    EXPECT_NE(out.find("data.txt"), std::string::npos) << out;

    // A damaged archive header.
    bad = good;
    bad[data->dataOffset] = 'X';
    WriteBytes(dir.File("bad.exe"), bad);
    EXPECT_EQ(Run("verify bad.exe"), 1);
    EXPECT_NE(out.find("not tavq file"), std::string::npos) << out;

    // Not a package at all.
    WriteBytes(dir.File("bad.exe"), kStub);
    EXPECT_EQ(Run("verify bad.exe"), 1);
    EXPECT_NE(out.find("not a package"), std::string::npos) << out;
}

TEST_F(EverySettingTest, AChangedByteAnywhereInThePackageFailsItsChecksum) {
    const std::string good = ReadBytes(dir.File("setup.exe"));
    EXPECT_EQ(good.size() % 8, 0u) << "a signer would pad it";
    ASSERT_EQ(Run("info setup.exe"), 0) << err;
    EXPECT_NE(out.find("checksum: CRC-32 "), std::string::npos) << out;
    package::SetupModel m;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &m), package::LoadResult::Loaded);
    // The first and last byte of the package after the stub, a stored file, the settings.
    const size_t settings = good.rfind("&LEN:") - 1;
    for (size_t at : {kStub.size(), static_cast<size_t>(m.fileList.first->dataOffset), settings}) {
        std::string bad = good;
        bad[at] ^= 0x04;
        WriteBytes(dir.File("bad.exe"), bad);
        EXPECT_EQ(Run("verify bad.exe"), 1) << at;
        EXPECT_NE(out.find("checksum mismatch"), std::string::npos) << out;
        EXPECT_EQ(Run("extract bad.exe -d out"), 1) << at;
        EXPECT_NE(err.find("checksum mismatch"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(dir.File("out")));
    }
    // The same package as a writer without the record makes it: accepted as it stands.
    const size_t record = good.find("CRC32:", settings);
    WriteBytes(dir.File("plain.exe"), good.substr(0, record));
    ASSERT_EQ(Run("info plain.exe"), 0) << err;
    EXPECT_NE(out.find("checksum: none"), std::string::npos) << out;
    EXPECT_EQ(Run("verify plain.exe"), 1) << "the settings still carry the mark";
    EXPECT_NE(out.find("has none"), std::string::npos) << out;
}

TEST_F(BuildTest, LzmaGoesOnlyBehindAStubThatDecodesItAndSameFilesShareTheirBytes) {
    Write("a.txt", Repetitive(5000));
    Write("b/a.txt", Repetitive(5000));
    const std::string manifest =
        "[application]\nname = \"a\"\n[compression]\nmethod = \"lzma\"\n"
        "[[files]]\nsource = \"a.txt\"\n[[files]]\nsource = \"b\"\nsubfolder = \"b\"\n"
        "[[files]]\nsource = \"b/a.txt\"\nsubfolder = \"c\"\n";
    for (const std::string& stub : {std::string("MZ"), std::string("MZ sfx-decodes: lzw\0", 20),
                                   std::string("MZ sfx-decodes: lzw lzma-solid", 30)}) {
        WriteBytes(dir.File("stub.exe"), stub);
        EXPECT_EQ(Build(manifest), 1) << stub;
        EXPECT_NE(err.find("cannot decode lzma (it declares: lzw"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(dir.File("setup.exe")));
    }
    WriteBytes(dir.File("stub.exe"), kStub);
    ASSERT_EQ(Build(manifest), 0) << err;
    ASSERT_EQ(Run("info setup.exe"), 0) << err;
    // Three files of the same bytes, stored once: each line's "length L, offset O" alike.
    std::vector<std::string> pieces;
    for (size_t at = 0; (at = out.find(", length ", at)) != std::string::npos; ++at)
        pieces.push_back(out.substr(at, out.find(", compressed", at) - at));
    ASSERT_EQ(pieces.size(), 3u) << out;
    EXPECT_EQ(pieces[0], pieces[1]);
    EXPECT_EQ(pieces[0], pieces[2]);
    EXPECT_NE(out.find("compressed (lzma)"), std::string::npos) << out;
}

TEST_F(BuildTest, ASignedStubGoesInWithoutItsSignatureAndOneChangedAfterSigningIsRefused) {
    const std::string image = PeImage() + "program";
    WriteBytes(dir.File("signed-stub.exe"), Signed(image, 1));
    Write("setup.toml", "[application]\nname = \"A\"\n");
    ASSERT_EQ(Run("build setup.toml -o setup.exe --stub signed-stub.exe"), 0) << err;
    EXPECT_NE(err.find("the stub is signed"), std::string::npos) << err;
    const std::string built = ReadBytes(dir.File("setup.exe"));
    EXPECT_EQ(built.compare(0, image.size() + 1, PeImage() + "program" + std::string(1, '\0')), 0)
        << "the signer's padding stays, the directory entry is cleared";
    EXPECT_EQ(built.find(std::string(64, '\x30')), std::string::npos) << "no table inside";
    EXPECT_EQ(Run("verify setup.exe"), 0) << out;

    WriteBytes(dir.File("changed-stub.exe"), Signed(image, 1) + "appended");
    EXPECT_EQ(Run("build setup.toml -o other.exe --stub changed-stub.exe --quiet"), 1);
    EXPECT_NE(err.find("certificate table does not end the file"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir.File("other.exe")));
}

TEST_F(BuildTest, VerifyFindsPiecesOutsideTheFileAndTextsThatBreakTheirLimits) {
    namespace layout = package::layout;
    TestPackage pkg;
    // 24 characters, but 48 bytes: one byte more than the page's read-back lets pass.
    std::string line;
    for (int i = 0; i < 24; ++i) line += "中";
    pkg.items[layout::PageLineItem(layout::kWelcome, 0)] = line;
    // 528 bytes: the box's check would pass them, but the field holds 527.
    std::string agreement;
    for (int i = 0; i < 264; ++i) agreement += "条";
    pkg.items[layout::PageLineItem(layout::kAgreement, 2)] = agreement;
    pkg.items[layout::kPictureLength] = "100";  // the wizard picture runs into the settings
    pkg.items[layout::kPictureOffset] = std::to_string(pkg.image.size() - 50);
    pkg.items[layout::FileTypeExtensionItem(0)] = "html";  // an extension of 4
    pkg.AddFile("a.txt", "INSTALL_FOLDER", "", 0, "ALWAYS_COPY", 10, 999999, false);
    pkg.Write(dir.File("odd.exe"));
    EXPECT_EQ(Run("verify odd.exe"), 1);
    EXPECT_NE(out.find("page welcome line 0 \"" + std::string(u8"中中中")), std::string::npos)
        << out;
    EXPECT_NE(out.find("is 48 bytes long in GBK; the welcome page shows at most 47"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("page agreement line 2"), std::string::npos) << out;
    EXPECT_NE(out.find("is 528 bytes long in GBK; the agreement box holds at most 527"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("the wizard picture"), std::string::npos) << out;
    EXPECT_NE(out.find("extension of file type 0"), std::string::npos) << out;
    EXPECT_NE(out.find("file 0 \"a.txt\""), std::string::npos) << out;
    EXPECT_NE(out.find("5 problems"), std::string::npos) << out;
}

// What the installer refuses as hostile, a publisher learns from verify before shipping.
TEST_F(BuildTest, VerifyFindsPathsThatLeaveTheirBaseFolders) {
    TestPackage pkg;
    pkg.items[package::layout::kReadmeFile] = "INSTALL_FOLDER\\..\\readme.txt";
    pkg.items[package::layout::kRunProgram] = "INSTALL_FOLDER\\bin\\app.exe";
    pkg.AddFile("a.txt", "INSTALL_FOLDER", "docs/../..", 0, "ALWAYS_COPY", 1, pkg.Add("a"), false);
    pkg.AddFile("b.txt", "WINDOWS_FOLDER", "docs", 0, "ALWAYS_COPY", 1, pkg.Add("b"), false);
    pkg.Write(dir.File("hostile.exe"));
    EXPECT_EQ(Run("verify hostile.exe"), 1);
    EXPECT_NE(out.find("file 0 \"docs/../..\\a.txt\" leaves its base folder"), std::string::npos)
        << out;
    EXPECT_NE(out.find("the readme \"INSTALL_FOLDER\\..\\readme.txt\" leaves"), std::string::npos)
        << out;
    EXPECT_NE(out.find("2 problems"), std::string::npos) << out;
}

// Every text the installer checks, at exactly its limit: packed, found sound by verify, and read
// back whole by the installer's loader.
TEST_F(BuildTest, TextsAtTheirExactLimitsArePackedWhole) {
    const std::string line = u8"中中中中中中中中中中中中中中中中中中中中中中中a";  // 47 bytes
    std::string agreement;
    for (int i = 0; i < 263; ++i) agreement += u8"条";
    agreement += "k";  // 527 bytes
    std::string name;
    for (int i = 0; i < 119; ++i) name += u8"名";  // 238 bytes
    std::string manifest = "[application]\nname = \"" + name + "\"\n[pages]\n";
    for (const char* page : {"welcome", "folder", "finish"})
        manifest +=
            std::string(page) + " = [\"" + line + "\", \"" + line + "\", \"" + line + "\"]\n";
    manifest += "agreement = [\"" + line + "\", \"" + line + "\", \"" + agreement + "\"]\n";
    manifest += "progress = [\"" + line + "\"]\n";
    manifest += "[background]\ncaption = \"" + std::string(67, 'c') + "\"\n";
    ASSERT_EQ(Build(manifest), 0) << err;
    EXPECT_EQ(Run("verify setup.exe"), 0) << out;

    package::SetupModel m;
    ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &m),
              package::LoadResult::Loaded);
    std::string gbkLine;
    for (int i = 0; i < 23; ++i) gbkLine += "中";
    gbkLine += "a";
    EXPECT_EQ(std::string(m.pageTexts[0].line2), gbkLine);
    EXPECT_EQ(std::string(m.pageTexts[3].line0), gbkLine);
    EXPECT_EQ(std::strlen(m.pageTexts[1].line2), 527u);
    EXPECT_EQ(std::strlen(m.appName), 238u);
    EXPECT_EQ(std::strlen(m.backgroundCaption), 67u);
}

// Each kind of mistake: refused with the setting and the manifest's line, exit status 1, and
// no package (nor a temporary one) left behind; an earlier package stays as it was.
TEST_F(BuildTest, RefusesEachMistakeNamingTheSettingAndLine) {
    Write("a.txt", "a");
    Write("d/A.TXT", "A");
    const std::string head = u8"[application]\nname = \"演示\"\n";
    struct Case {
        const char* what;
        std::string manifest;
        const char* message;
    };
    const Case cases[] = {
        {"unknown key", head + "colour = 1\n", "setup.toml:3: application.colour: unknown setting"},
        {"unknown key in files", head + "[[files]]\nsource = \"a.txt\"\nshortcut = []\n",
         "setup.toml:5: files[0].shortcut: unknown setting"},
        {"missing file", head + "[[files]]\nsource = \"nothing.exe\"\n",
         "setup.toml:4: files[0].source: \"nothing.exe\": no such file"},
        {"pattern without match", head + "[[files]]\nsource = \"*.dll\"\n",
         "setup.toml:4: files[0].source: \"*.dll\" matches nothing"},
        {"overlong line",
         head +
             u8"[pages]\nfinish = [\"\", \"完成完成完成完成完成完成完成完成完成完成完成完成\"]\n",
         "setup.toml:4: pages.finish[1]: is 48 bytes long in GBK; the finish page shows at most "
         "47"},
        {"unmappable character", head + u8"[background]\ncaption = \"한\"\n",
         u8"setup.toml:4: background.caption: the character '한' (U+D55C) has no GBK form"},
        {"extension of four letters",
         head + "[[file-type]]\nextension = \"html\"\nprogram = \"a.exe\"\n",
         "setup.toml:4: file-type[0].extension: is 4 bytes"},
        {"duplicate destination",
         head + "[[files]]\nsource = \"a.txt\"\n[[files]]\nsource = \"d\"\n",
         "setup.toml:6: files[1].source: d/A.TXT goes to install\\A.TXT, where a.txt"},
        {"not TOML", head + "[pages\n", "setup.toml:3: not valid TOML"},
        {"wrong type", head + "[background]\nshow = \"yes\"\n",
         "setup.toml:4: background.show: must be true or false, not a text"},
        {"no name", "[application]\nreadme = \"r.txt\"\n",
         "setup.toml:1: application.name: missing"},
    };
    WriteBytes(dir.File("setup.exe"), "an earlier package");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Build(c.manifest), 1);
        EXPECT_NE(err.find(std::string("sfxpack: ") + c.message), std::string::npos) << err;
        EXPECT_EQ(ReadBytes(dir.File("setup.exe")), "an earlier package");
        EXPECT_TRUE(Leftovers().empty());
    }
}

TEST_F(BuildTest, ReportsEveryProblemOfOneManifestAtOnce) {
    const std::string manifest =
        u8"[application]\nname = \"a\"\nx = 1\n[pages]\n"
        u8"progress = [\"한\"]\n[[files]]\nsource = \"none\"\n";
    EXPECT_EQ(Build(manifest), 1);
    EXPECT_NE(err.find("application.x"), std::string::npos) << err;
    EXPECT_NE(err.find("pages.progress[0]"), std::string::npos) << err;
    EXPECT_NE(err.find("files[0].source"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir.File("setup.exe")));
}

TEST_F(BuildTest, RefusesToWriteOverOneOfItsInputs) {
    Write("a.txt", "a");
    EXPECT_EQ(Build("[application]\nname = \"a\"\n[[files]]\nsource = \"a.txt\"\n"), 0) << err;
    EXPECT_EQ(Run("build setup.toml -o a.txt --stub stub.exe"), 1);
    EXPECT_NE(err.find("an input of the package"), std::string::npos) << err;
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), "a");
}

TEST_F(BuildTest, TheStubComesFromTheOptionElseTheEnvironment) {
    Write("setup.toml", "[application]\nname = \"a\"\n");
    EXPECT_EQ(Run("build setup.toml -o s.exe --stub missing.exe"), 1);
    EXPECT_NE(err.find("no installer stub at missing.exe"), std::string::npos) << err;
    EXPECT_EQ(Run("build setup.toml -o s.exe", "SFXPACK_STUB=gone.exe"), 1);
    EXPECT_NE(err.find("no installer stub at gone.exe"), std::string::npos) << err;
    EXPECT_NE(err.find("--stub"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir.File("s.exe")));
    EXPECT_EQ(Run("build setup.toml -o s.exe", "SFXPACK_STUB=stub.exe"), 0) << err;
    EXPECT_EQ(ReadBytes(dir.File("s.exe")).compare(0, kStub.size(), kStub), 0);
    WriteBytes(dir.File("other.exe"), "MZ other");
    EXPECT_EQ(Run("build setup.toml -o s.exe --stub other.exe", "SFXPACK_STUB=stub.exe"), 0);
    EXPECT_EQ(ReadBytes(dir.File("s.exe")).compare(0, 8, "MZ other"), 0);
}

TEST_F(BuildTest, CommandLineMistakesAreUsageErrors) {
    Write("setup.toml", "[application]\nname = \"a\"\n");
    EXPECT_EQ(Run("build"), 2);
    EXPECT_EQ(Run("build setup.toml"), 2);
    EXPECT_EQ(Run("build setup.toml -o"), 2);
    EXPECT_EQ(Run("build setup.toml other.toml -o x.exe"), 2);
    EXPECT_EQ(Run("build setup.toml -o x.exe --fast"), 2);
    EXPECT_EQ(Run("build setup.toml -o x.exe --stub ''"), 2);
    EXPECT_EQ(Run("verify"), 2);
    EXPECT_EQ(Run(""), 2);
    EXPECT_NE(err.find("usage: sfxpack COMMAND"), std::string::npos) << err;
    EXPECT_EQ(Run("--fast"), 2);
    EXPECT_NE(err.find("unknown option '--fast'"), std::string::npos) << err;
    EXPECT_EQ(Run("--version now"), 2);
}

// Help goes to standard output with status 0, so `sfxpack build --help | less` works; a wrong
// option goes to standard error with status 2.
TEST_F(BuildTest, EveryCommandHasHelpAndRefusesUnknownOptions) {
    for (const std::string command :
         {"build", "verify", "info", "extract", "tavq-pack", "tavq-unpack", "sign"}) {
        for (const std::string help : {"--help", "-h"}) {
            EXPECT_EQ(Run(command + " " + help), 0) << command << " " << help;
            EXPECT_EQ(out.rfind("usage: sfxpack " + command + " ", 0), 0u) << out;
            EXPECT_EQ(err, "");
        }
        EXPECT_EQ(Run(command + " --no-such-option"), 2) << command;
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("'--no-such-option'"), std::string::npos) << err;
    }
    for (const std::string help : {"--help", "-h", "help"}) {
        EXPECT_EQ(Run(help), 0) << help;
        EXPECT_EQ(out.rfind("usage: sfxpack COMMAND", 0), 0u) << out;
        EXPECT_NE(out.find("tavq-unpack"), std::string::npos) << out;
    }
    EXPECT_EQ(Run("--version"), 0);
    EXPECT_EQ(out, "sfxpack " SFXPACK_VERSION "\n");
    EXPECT_EQ(err, "");
}

}  // namespace
