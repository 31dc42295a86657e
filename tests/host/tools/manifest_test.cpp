// The manifest reader, the file set and the package writer, in process: the limits at their
// exact edges and the failures that must leave nothing behind.
#include "tools/manifest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/limits.h"
#include "package/settings_layout.h"
#include "package_builder.h"
#include "tools/file_set.h"
#include "tools/package_writer.h"
#include "tools/progress.h"
#include "tools/text_limits.h"
#include "tools/windows_names.h"

namespace {

namespace fs = std::filesystem;

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    while (times--) out += text;
    return out;
}

class ManifestTest : public ::testing::Test {
protected:
    void Write(const std::string& relative, const std::string& bytes) {
        fs::create_directories(fs::path(dir.File(relative)).parent_path());
        WriteBytes(dir.File(relative), bytes);
    }
    // Reads `body` after an [application] table; true when accepted.
    bool Read(const std::string& body) {
        Write("setup.toml", "[application]\nname = \"a\"\n" + body);
        errors.clear();
        return sfxpack::ReadManifest(dir.File("setup.toml"), &manifest, &errors);
    }
    std::string Errors() const {
        std::string all;
        for (const std::string& e : errors) all += e + "\n";
        return all;
    }
    bool Expand() {
        files.clear();
        errors.clear();
        warnings.clear();
        return sfxpack::ExpandFiles(manifest, &files, &errors, &warnings);
    }

    TempDir dir;
    sfxpack::Manifest manifest;
    std::vector<sfxpack::PackedFile> files;
    std::vector<std::string> errors, warnings;
};

TEST(TextLimitsTest, TheInstallerCountsGbkBytesNotCharacters) {
    // 23 double-byte characters and a letter fill a line; one more letter is a byte too many,
    // though the line is only 25 characters long.
    const std::string full = Repeat("中", 23) + "a";
    EXPECT_EQ(sfxpack::LimitProblem(full, package::kPageLineLimit, "x"), "");
    EXPECT_EQ(sfxpack::LimitProblem(full + "b", package::kPageLineLimit,
                                    "the welcome page shows at most"),
              "is 48 bytes long in GBK; the welcome page shows at most 47");
    EXPECT_EQ(sfxpack::LimitProblem(Repeat("中", 34), package::kCaptionRoom),
              "is 68 bytes long in GBK; the installer has room for 67");
    // Control bytes end or split an item, whatever its limit.
    EXPECT_NE(sfxpack::ItemProblem(std::string("a\x07"
                                               "b")),
              "");
    EXPECT_NE(sfxpack::ItemProblem(std::string(1, '\x08')), "");
    EXPECT_NE(sfxpack::ItemProblem(std::string("a\0b", 3)), "");
    EXPECT_EQ(sfxpack::ItemProblem(std::string(531, 'x')), "");
    EXPECT_NE(sfxpack::ItemProblem(std::string(532, 'x')), "");
}

TEST(TextLimitsTest, TheAgreementTextIsLimitedByItsFieldNotByTheBoxsCheck) {
    // The box's check would let 528 bytes pass; the field that fills it holds 527.
    using package::layout::kAgreement;
    EXPECT_EQ(package::PageLineLimit(kAgreement, 2), 527u);
    EXPECT_EQ(package::PageLineLimit(kAgreement, 1), 47u);
    // A line no page shows keeps only to its field: 255 bytes, 527 for line 2.
    EXPECT_EQ(package::PageLineLimit(kAgreement, 3), 255u);
    EXPECT_EQ(package::PageLineLimit(package::layout::kProgress, 1), 255u);
    EXPECT_EQ(package::PageLineLimit(package::layout::kProgress, 2), 527u);
    // "C:\Program Files\" and the name make the folder the folder page proposes.
    EXPECT_EQ(package::kAppNameLimit + std::string("C:\\Program Files\\").size(),
              package::kFolderLimit);
}

TEST(WindowsNamesTest, NamesWindowsRefusesOrChanges) {
    for (const char* bad : {"", ".", "..", "a:b", "a*", "a\\b", "a/b", "x.", "x ", "con", "NUL.txt",
                            "com1", "Lpt9.log", "a\tb"})
        EXPECT_NE(sfxpack::NameProblem(bad), "") << bad;
    for (const char* good : {"a.txt", u8"说明.txt", ".hidden", "con2", "com10", "a b.c"})
        EXPECT_EQ(sfxpack::NameProblem(good), "") << good;
}

TEST(WindowsNamesTest, CaseFoldsAsWindowsComparesNames) {
    using sfxpack::CaseFoldKey;
    EXPECT_EQ(CaseFoldKey("ReadMe.TXT"), CaseFoldKey("readme.txt"));
    EXPECT_EQ(CaseFoldKey(u8"ＡＢ"), CaseFoldKey(u8"ａｂ"));
    EXPECT_EQ(CaseFoldKey(u8"ΣЖЁⅩ"), CaseFoldKey(u8"σжёⅹ"));
    EXPECT_NE(CaseFoldKey(u8"说明"), CaseFoldKey(u8"说名"));
    EXPECT_NE(CaseFoldKey("a"), CaseFoldKey("b"));
}

TEST_F(ManifestTest, PageLinesStopAtTheirControlsLimit) {
    EXPECT_FALSE(Read("[pages]\nfolder = [\"a\\nb\"]\n"));
    EXPECT_NE(Errors().find("pages.folder[0]: holds a line break"), std::string::npos);
    EXPECT_FALSE(
        Read("[pages]\nprogress = [\"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"9\"]\n"));
    EXPECT_NE(Errors().find("pages.progress: has 9 entries"), std::string::npos);
}

// Every line a page shows, and the agreement box, at exactly the installer's limit: accepted
// whole. Then each of them one byte longer: refused, naming that line and nothing else.
TEST_F(ManifestTest, EveryShownLineStopsAtTheInstallersByteLimit) {
    namespace layout = package::layout;
    const std::string full = Repeat(u8"中", 23) + "a";        // 47 bytes in GBK, 24 characters
    const std::string agreement = Repeat(u8"条", 263) + "k";  // 527 bytes
    // The manifest with line (page, line) one byte longer, or none when page is -1.
    auto manifestWithLonger = [&](int longPage, int longLine) {
        std::string body = "[pages]\n";
        for (int page = 0; page < layout::kPages; ++page) {
            body += std::string(layout::kPageNames[page]) + " = [";
            for (int line = 0; line < layout::kShownLines[page]; ++line) {
                const bool isBox = page == layout::kAgreement && line == 2;
                const bool longer = page == longPage && line == longLine;
                body += std::string(line ? ", " : "") + "\"" + (isBox ? agreement : full) +
                        (longer ? "b" : "") + "\"";
            }
            body += "]\n";
        }
        return body;
    };
    ASSERT_TRUE(Read(manifestWithLonger(-1, -1))) << Errors();
    EXPECT_EQ(manifest.pageTexts[0][7], Repeat("中", 23) + "a");
    EXPECT_EQ(manifest.pageTexts[1][2], Repeat("条", 263) + "k");
    EXPECT_TRUE(manifest.warnings.empty());
    for (int page = 0; page < layout::kPages; ++page)
        for (int line = 0; line < layout::kShownLines[page]; ++line) {
            const std::string setting =
                std::string("pages.") + layout::kPageNames[page] + "[" + std::to_string(line) + "]";
            SCOPED_TRACE(setting);
            EXPECT_FALSE(Read(manifestWithLonger(page, line)));
            ASSERT_EQ(errors.size(), 1u) << Errors();
            const std::string expected =
                page == layout::kAgreement && line == 2
                    ? "is 528 bytes long in GBK; the agreement box holds at most 527"
                    : std::string("is 48 bytes long in GBK; the ") + layout::kPageNames[page] +
                          " page shows at most 47";
            EXPECT_NE(errors[0].find(setting + ": " + expected), std::string::npos) << errors[0];
        }
}

TEST_F(ManifestTest, LinesAPageDoesNotShowAreStoredWithAWarning) {
    EXPECT_TRUE(Read("[pages]\nprogress = [\"p0\", \"" + std::string(200, 'x') + "\"]\n"))
        << Errors();
    EXPECT_EQ(manifest.pageTexts[3][1], std::string(200, 'x'));
    ASSERT_EQ(manifest.warnings.size(), 1u);
    EXPECT_NE(manifest.warnings[0].find("pages.progress[1]"), std::string::npos);
    EXPECT_FALSE(Read("[pages]\nprogress = [\"p0\", \"" + std::string(256, 'x') + "\"]\n"));
    EXPECT_NE(Errors().find("room for 255"), std::string::npos);
}

TEST_F(ManifestTest, TheAgreementTextKeepsToTheBoxAndToItsField) {
    // 263 double-byte characters and CR LF: 528 bytes would be one byte past the field.
    Write("license.txt", Repeat(u8"条", 262) + "\n" + u8"款");
    EXPECT_FALSE(Read("[pages]\nagreement-text = \"license.txt\"\n"));
    EXPECT_NE(Errors().find("pages.agreement-text (license.txt): is 528 bytes long in GBK; the "
                            "agreement box holds at most 527 (a line end counts as two)"),
              std::string::npos)
        << Errors();
    Write("license.txt", Repeat(u8"条", 262) + "\n" + "k");
    EXPECT_TRUE(Read("[pages]\nagreement-text = \"license.txt\"\n")) << Errors();
    EXPECT_EQ(manifest.pageTexts[1][2], Repeat("条", 262) + "\r\nk");
    EXPECT_FALSE(
        Read("[pages]\nagreement = [\"\", \"\", \"x\"]\nagreement-text = \"license.txt\"\n"));
    EXPECT_NE(Errors().find("given twice"), std::string::npos);
    EXPECT_FALSE(Read("[pages]\nagreement-text = \"none.txt\"\n"));
    EXPECT_NE(Errors().find("pages.agreement-text: \"none.txt\": no such file"), std::string::npos);
}

TEST_F(ManifestTest, FieldRoomAtItsEdges) {
    EXPECT_TRUE(Read("[background]\ncaption = \"" + std::string(67, 'c') + "\"\n")) << Errors();
    EXPECT_FALSE(Read("[background]\ncaption = \"" + std::string(68, 'c') + "\"\n"));
    EXPECT_NE(Errors().find("background.caption: is 68 bytes"), std::string::npos);
    // "INSTALL_FOLDER\" is 15 bytes of the program's 254.
    const std::string program = std::string(239, 'p');
    EXPECT_TRUE(Read("[[file-type]]\nextension = \"txt\"\nprogram = \"" + program + "\"\n"))
        << Errors();
    EXPECT_EQ(manifest.fileTypes[0].program, "INSTALL_FOLDER\\" + program);
    EXPECT_FALSE(Read("[[file-type]]\nextension = \"txt\"\nprogram = \"" + program + "p\"\n"));
    EXPECT_NE(Errors().find("room for 254"), std::string::npos);
    // The name with "C:\Program Files\" before it is the folder the folder page proposes, and
    // that folder must pass the page's 255-byte check.
    Write("setup.toml", "[application]\nname = \"" + Repeat(u8"名", 119) + "\"\n");
    EXPECT_TRUE(sfxpack::ReadManifest(dir.File("setup.toml"), &manifest, &errors)) << Errors();
    Write("setup.toml", "[application]\nname = \"" + Repeat(u8"名", 119) + "n\"\n");
    errors.clear();
    EXPECT_FALSE(sfxpack::ReadManifest(dir.File("setup.toml"), &manifest, &errors));
    EXPECT_NE(Errors().find("application.name: is 239 bytes long in GBK; the default folder "
                            "C:\\Program Files\\NAME leaves the name at most 238"),
              std::string::npos)
        << Errors();
}

TEST_F(ManifestTest, RefusesValuesTheInstallerCannotUse) {
    const std::pair<const char*, const char*> cases[] = {
        {"[[file-type]]\nextension = \".txt\"\nprogram = \"a.exe\"\n", "without its dot"},
        {"[[file-type]]\nextension = \"txt\"\n", "file-type[0].program: missing"},
        {"[[file-type]]\nextension = \"a\"\nprogram = \"x\"\n[[file-type]]\nextension = \"A\"\n"
         "program = \"y\"\n",
         "associated twice"},
        {"[[file-type]]\nextension=\"a\"\nprogram=\"x\"\n[[file-type]]\nextension=\"b\"\n"
         "program=\"x\"\n[[file-type]]\nextension=\"c\"\nprogram=\"x\"\n",
         "at most 2"},
        {"[background]\ncolor = \"#12345\"\n", "not a colour of the form #RRGGBB"},
        {"[[files]]\nsource = \"a\"\nbase = \"program-files\"\n", "is not a base folder"},
        {"[[files]]\nsource = \"a\"\noverwrite = \"never\"\n", "is not an overwrite mode"},
        {"[[files]]\nsource = \"a\"\nshortcuts = [\"taskbar\"]\n", "is not a shortcut kind"},
        {"[[files]]\nsource = \"a\"\nsubfolder = \"../up\"\n", "would leave its base folder"},
        {"[files]\nsource = \"a\"\n", "must be a list of tables"},
        {"[application.run]\n", "must be a text"},
        {"[wizard]\npicture = \"p.png\"\n", "is a PNG file; the installer's picture loader"},
        {"[wizard]\nicon = \"p.bmp\"\n", "is a BMP file; the installer loads an icon file"},
        {"[wizard]\nicon = \"many.ico\"\n",
         "has 65 images; the installer shows icons of at most 64"},
        {"[wizard]\nicon = \"cut.ico\"\n", "is damaged"},
        {"[uninstaller]\ntexts = [\"a\\u0007b\"]\n", "control character U+0007"},
        {"[uninstaller]\ntexts = [\"a\", \"b\", \"c\", \"d\", \"e\"]\n", "has 5 entries"},
    };
    Write("p.png", "\x89PNG\r\n\x1A\n....");
    Write("p.bmp", "BM" + std::string(40, '\0'));
    // Icon directories the installer refuses: one image too many, an image past the end.
    Write("many.ico", std::string("\0\0\1\0\x41\0", 6) + std::string(65 * 16 + 8, '\x01'));
    Write("cut.ico", std::string("\0\0\1\0\1\0"
                                 "\x10\x10\0\0\1\0\x20\0"
                                 "\x18\0\0\0\x16\0\0\0",
                                 22) +
                         std::string(23, 'i'));
    for (const auto& [body, message] : cases) {
        EXPECT_FALSE(Read(body)) << body;
        EXPECT_NE(Errors().find(message), std::string::npos) << body << "\n" << Errors();
    }
    EXPECT_TRUE(Read("[background]\ncolor = \"#a0B0c0\"\n")) << Errors();
    EXPECT_EQ(manifest.backgroundColor, 0x00C0B0A0u);
}

TEST_F(ManifestTest, FilesAreSortedWithinTheirRuleAndKeepTheirTree) {
    Write("tree/b.txt", "b");
    Write("tree/a/z.txt", "z");
    Write("tree/a/y.txt", "y");
    Write("one.txt", "1");
    ASSERT_TRUE(
        Read("[[files]]\nsource = \"one.txt\"\n[[files]]\nsource = \"tree\"\n"
             "subfolder = \"x\\\\y\"\n[[files]]\nsource = \"tree/a/*.txt\"\n"
             "base = \"system\"\n"))
        << Errors();
    ASSERT_TRUE(Expand()) << errors[0];
    std::vector<std::string> got;
    for (const auto& f : files) got.push_back(f.subFolder + "|" + f.name);
    const std::vector<std::string> expected = {"|one.txt",   "x\\y\\a|y.txt", "x\\y\\a|z.txt",
                                               "x\\y|b.txt", "|y.txt",        "|z.txt"};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(files[4].folderKind, package::kFolderSystem);
}

TEST_F(ManifestTest, RefusesDestinationsWindowsCannotHoldApart) {
    Write("a/Doc", "file");
    Write("b/doc/x.txt", "x");
    Write("c/ok.txt", "ok");
    ASSERT_TRUE(Read("[[files]]\nsource = \"a\"\n[[files]]\nsource = \"b\"\n")) << Errors();
    EXPECT_FALSE(Expand());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("is a file where it needs a folder"), std::string::npos) << errors[0];
    // The same destination in different bases is no clash.
    ASSERT_TRUE(Read("[[files]]\nsource = \"c\"\n[[files]]\nsource = \"c\"\nbase = \"windows\"\n"));
    EXPECT_TRUE(Expand());
    Write(u8"d/한.txt", "x");
    Write("e/a:b", "x");
    ASSERT_TRUE(Read("[[files]]\nsource = \"d\"\n[[files]]\nsource = \"e\"\n"));
    EXPECT_FALSE(Expand());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("no GBK form"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("Windows refuses"), std::string::npos) << errors[1];
}

TEST_F(ManifestTest, AnEmptyFolderIsAWarningNotAFile) {
    fs::create_directories(dir.File("empty"));
    ASSERT_TRUE(Read("[[files]]\nsource = \"empty\"\n"));
    EXPECT_TRUE(Expand());
    EXPECT_TRUE(files.empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("holds no files"), std::string::npos);
}

TEST_F(ManifestTest, TheSettingsBlockHasSixtyFourItemsThenEightPerFileEightARow) {
    ASSERT_TRUE(Read("")) << Errors();
    std::vector<sfxpack::PackedFile> two(2);
    two[0].name = "x";
    two[1].name = "y";
    sfxpack::PackageLayout layout;
    layout.files.resize(2);
    const std::string text = sfxpack::SettingsItems(manifest, two, layout).text();
    size_t separators = 0, rowEnds = 0;
    for (char c : text) {
        separators += c == '\x07';
        rowEnds += c == '\x08';
    }
    EXPECT_EQ(rowEnds, 10u);  // 80 items
    EXPECT_EQ(separators, 70u);
    EXPECT_EQ(text.substr(0, 10), "\x07\x07\x07\x07\x07\x07\x07\x08\r\n");
    // Items 57 to 64: background off, no picture, no caption, black, no title bar, one unused,
    // the checksum mark.
    EXPECT_NE(text.find("\r\nFALSE\x07"
                        "0\x07"
                        "0\x07\x07"
                        "0\x07"
                        "FALSE\x07\x07"
                        "CRC32\x08\r\n"),
              std::string::npos);
    const std::string lastFile =
        "y\x07INSTALL_FOLDER\x07\x07"
        "0\x07"
        "ALWAYS_COPY\x07"
        "0\x07"
        "0\x07"
        "FALSE\x08\r\n";
    EXPECT_EQ(text.substr(text.size() - lastFile.size()), lastFile);
}

TEST_F(ManifestTest, AFailedWriteLeavesTheEarlierPackageAndNoTemporaryFile) {
    Write("stub.exe", "MZ");
    Write("a.txt", "a");
    Write("setup.exe", "earlier");
    ASSERT_TRUE(Read("[[files]]\nsource = \"a.txt\"\n"));
    ASSERT_TRUE(Expand());
    fs::remove(dir.File("a.txt"));  // gone between the check and the write
    sfxpack::BuildStats stats;
    std::string error;
    EXPECT_FALSE(sfxpack::WritePackage(manifest, files, dir.File("stub.exe"), dir.File("setup.exe"),
                                       nullptr, &stats, &error));
    EXPECT_NE(error.find("a.txt: cannot be read"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(dir.File("setup.exe")), "earlier");
    // setup.toml, stub.exe, setup.exe and nothing else
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

}  // namespace

namespace {

TEST_F(ManifestTest, APackageStaysBelowTwoGibibytes) {
    Write("stub.exe", "MZ");
    Write("huge.bin", "");
    fs::resize_file(dir.File("huge.bin"), uint64_t{1} << 31);  // sparse: no disk is used
    ASSERT_TRUE(Read("[[files]]\nsource = \"huge.bin\"\n"));
    ASSERT_TRUE(Expand());
    sfxpack::BuildStats stats;
    std::string error;
    EXPECT_FALSE(sfxpack::WritePackage(manifest, files, dir.File("stub.exe"), dir.File("setup.exe"),
                                       nullptr, &stats, &error));
    EXPECT_NE(error.find("past 2 GiB with " + dir.File("huge.bin")), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir.File("setup.exe")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(ProgressTest, TheLineShowsShareBytesRateAndTimeLeft) {
    EXPECT_EQ(sfxpack::ProgressMeter::Describe(1 << 20, 2 << 20, 1.0, true),
              "[############............]  50%  1.0/2.0 MiB  1.0 MiB/s  0:01 left");
    EXPECT_EQ(sfxpack::ProgressMeter::Describe(3 << 20, 4000u << 20, 1.0, false),
              "  0%  3.0/4000.0 MiB  3.0 MiB/s  22:12 left");
    EXPECT_EQ(sfxpack::ProgressMeter::Describe(5, 5, 0.0, false), "100%  0.0/0.0 MiB  0.0 MiB/s");
    EXPECT_EQ(sfxpack::ProgressMeter::Describe(0, 0, 2.0, false), "100%  0.0/0.0 MiB  0.0 MiB/s");
}

}  // namespace

namespace {

TEST_F(ManifestTest, WarnsOfAReadmeOrProgramThePackageDoesNotInstall) {
    Write("doc/ReadMe.txt", "r");
    Write("bin/app.exe", "a");
    ASSERT_TRUE(
        Read("readme = \"docs/readme.TXT\"\nrun = \"bin/app.exe\"\n"
             "[[file-type]]\nextension = \"x\"\nprogram = \"viewer.exe\"\n"
             "[[file-type]]\nextension = \"y\"\nprogram = \"notepad.exe\"\n"
             "program-folder = \"windows\"\n"
             "[[files]]\nsource = \"doc\"\nsubfolder = \"docs\"\n"
             "[[files]]\nsource = \"bin/app.exe\"\n"))
        << Errors();
    ASSERT_TRUE(Expand());
    // The readme is installed (in another letter case); app.exe lands in the install folder
    // itself, not in bin; the Windows folder's notepad is not the package's business.
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("setup.toml:4: application.run: \"bin\\app.exe\" is not among"),
              std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[1].find("file-type[0].program: \"viewer.exe\""), std::string::npos)
        << warnings[1];
}

}  // namespace

namespace {

TEST_F(ManifestTest, EachRuleTakesTheManifestsMethodUnlessItNamesOne) {
    Write("a.txt", "a");
    ASSERT_TRUE(
        Read("[compression]\nmethod = \"lzma-solid\"\nlevel = 9\n"
             "[[files]]\nsource = \"a.txt\"\n"
             "[[files]]\nsource = \"a.txt\"\ncompress = true\n"
             "[[files]]\nsource = \"a.txt\"\ncompress = \"lzma\"\n"
             "[[files]]\nsource = \"a.txt\"\ncompress = false\n"))
        << Errors();
    using sfxpack::Compression;
    ASSERT_EQ(manifest.files.size(), 4u);
    EXPECT_EQ(manifest.files[0].compression, Compression::Solid);
    EXPECT_EQ(manifest.files[1].compression, Compression::Lzw);
    EXPECT_EQ(manifest.files[2].compression, Compression::Lzma);
    EXPECT_EQ(manifest.files[3].compression, Compression::Stored);
    EXPECT_EQ(manifest.level, 9);

    EXPECT_FALSE(
        Read("[compression]\nmethod = \"zip\"\nlevel = 10\n"
             "[[files]]\nsource = \"a.txt\"\ncompress = \"lzma-solid\"\n"));
    EXPECT_NE(Errors().find("compression.method: \"zip\" is not a method"), std::string::npos);
    EXPECT_NE(Errors().find("compression.level: is 10; the LZMA levels are 0 to 9"),
              std::string::npos);
    EXPECT_NE(Errors().find("files[0].compress: must be true, false, \"lzw\" or \"lzma\""),
              std::string::npos)
        << Errors();
}

}  // namespace
