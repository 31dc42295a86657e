#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "package_builder.h"
#include "tavq_bytes.h"
#include "tools/commands.h"
#include "tools/tavq_writer.h"

namespace {

namespace fs = std::filesystem;

// Runs the real sfxpack, as a publisher would.
int RunSfxpack(const std::vector<std::string>& args, const std::string& errorFile) {
    std::string command = SFXPACK_PATH;
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >/dev/null 2>'" + errorFile + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SfxpackCommand : public ::testing::Test {
protected:
    // Runs `sfxpack extract` on the package; what it printed to stderr goes to `errors`.
    int Extract(const TestPackage& package) {
        package.Write(dir.File("setup.exe"));
        return Run({"extract", dir.File("setup.exe"), "-d", Out()});
    }
    int Run(const std::vector<std::string>& args) {
        const int status = RunSfxpack(args, dir.File("errors.txt"));
        errors = ReadBytes(dir.File("errors.txt"));
        return status;
    }
    std::string Out() const { return dir.File("out"); }
    // Every regular file under the output folder, by its path below it.
    std::vector<std::string> Written() const {
        std::vector<std::string> files;
        if (!fs::exists(Out())) return files;
        for (const auto& e : fs::recursive_directory_iterator(Out()))
            if (e.is_regular_file()) files.push_back(fs::relative(e.path(), Out()).string());
        std::sort(files.begin(), files.end());
        return files;
    }

    TempDir dir;
    std::string errors;
};

std::string Compressed(const std::string& data) {
    return sfxpack::BuildTavqArchive({{"stored-name-is-ignored", data}});
}

TEST_F(SfxpackCommand, ExtractReproducesEveryPackagedFile) {
    std::string big;
    for (int i = 0; i < 300000; ++i) big += static_cast<char>(i % 7 == 0 ? i : 'a' + i % 5);
    const std::string readme = "\xB6\xC1\xCE\xD2 read me\r\n";  // GBK text
    TestPackage pkg;
    struct File {
        std::string name, folder, sub, data;
        bool compressed;
        std::string expectedPath;
    } files[] = {
        {"app.exe", "", "", "MZ program", false, "install/app.exe"},
        {"big.dat", "", "data\\sub\\", big, true, "install/data/sub/big.dat"},
        {"\xCB\xB5\xC3\xF7.txt", "", "\xCE\xC4\xB5\xB5\\a", readme, true,
         std::string(u8"install/文档/a/说明.txt")},
        {"empty.bin", "", "x", "", false, "install/x/empty.bin"},
        {"empty-packed.bin", "", "x", "", true, "install/x/empty-packed.bin"},
        {"grid.ocx", "SYSTEM_FOLDER", "", "control", true, "system/grid.ocx"},
        {"win.ini", "WINDOWS_FOLDER", "conf", "[x]\r\n", false, "windows/conf/win.ini"},
        // 0x5C as the trail byte of a GBK character is no separator.
        {"\xB1\x5C.txt", "", "\xD6\x5C", "trail", false, std::string(u8"install/謀/盶.txt")},
    };
    for (const File& f : files) {
        const std::string stored = f.compressed ? Compressed(f.data) : f.data;
        const int offset = pkg.Add(stored);
        pkg.AddFile(f.name, f.folder, f.sub, 0, "", static_cast<int>(stored.size()), offset,
                    f.compressed);
    }
    ASSERT_EQ(Extract(pkg), sfxpack::kExitOk) << errors;
    for (const File& f : files)
        EXPECT_TRUE(ReadBytes(dir.File("out/" + f.expectedPath)) == f.data) << f.expectedPath;
    EXPECT_EQ(Written().size(), std::size(files));
}

TEST_F(SfxpackCommand, ExtractRefusesNamesThatLeaveTheFolder) {
    struct Case {
        std::string name, sub;
    } cases[] = {
        {"..", ""},         {"a\\b.txt", ""}, {"../x", ""},  {"c:x", ""},      {"x", "..\\..\\up"},
        {"x", "a\\..\\.."}, {"x", "\\abs"},   {"x", "/abs"}, {"x", "C:\\win"}, {"", ""},
    };
    for (const Case& c : cases) {
        TestPackage pkg;
        pkg.AddFile("first.txt", "", "", 0, "", 3, pkg.Add("abc"), false);
        pkg.AddFile(c.name, "", c.sub, 0, "", 3, pkg.Add("abc"), false);
        const int status = Extract(pkg);
        if (c.name.empty()) {
            // An empty name ends the file list: only the first file is packaged.
            EXPECT_EQ(status, sfxpack::kExitOk);
            continue;
        }
        EXPECT_EQ(status, sfxpack::kExitRefused) << c.name << " " << c.sub;
        EXPECT_NE(errors.find("file 1"), std::string::npos) << errors;
        EXPECT_TRUE(Written().empty()) << c.name << " " << c.sub;
        EXPECT_FALSE(fs::exists(dir.File("up")));
    }
}

TEST_F(SfxpackCommand, ExtractOfADamagedPackageLeavesNoPartialFile) {
    std::string long_;
    for (int i = 0; i < 200000; ++i) long_ += static_cast<char>(i * 31 % 256);
    std::string cut = Compressed(long_);
    cut.resize(cut.size() - 3);  // the end code is gone
    const std::string good = Compressed("fine");
    struct Case {
        const char* what;
        std::string data;
        int lengthDelta;
        int offsetOverride;
        bool compressed;
        const char* message;
    } cases[] = {
        {"stored piece past the end", "abc", 100000, -1, false, "outside the file"},
        {"stored piece before the start", "abc", 0, -7, false, "outside the file"},
        {"compressed piece past the end", good, 100000, -1, true, "outside the file"},
        {"archive refused", "TAVX" + good.substr(4), 0, -1, true, "not tavq file"},
        {"too short for an archive", good.substr(0, 37), 0, -1, true, "error tavq file"},
        {"stream without end code", cut, 0, -1, true, "without an end code"},
    };
    for (const Case& c : cases) {
        TestPackage pkg;
        pkg.AddFile("ok.txt", "", "", 0, "", 4, pkg.Add("good"), false);
        const int offset = pkg.Add(c.data);
        pkg.AddFile("bad.bin", "", "", 0, "", static_cast<int>(c.data.size()) + c.lengthDelta,
                    c.offsetOverride == -1 ? offset : c.offsetOverride, c.compressed);
        EXPECT_EQ(Extract(pkg), sfxpack::kExitRefused) << c.what;
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.what << ": " << errors;
        EXPECT_FALSE(fs::exists(dir.File("out/install/bad.bin"))) << c.what;
        EXPECT_TRUE(TemporaryOutputsIn(dir.File("out/install")).empty()) << c.what;
    }
}

TEST_F(SfxpackCommand, ExtractRefusesWhatIsNotAPackage) {
    WriteBytes(dir.File("plain.exe"), "MZ nothing appended");
    EXPECT_EQ(Run({"extract", dir.File("plain.exe"), "-d", Out()}), sfxpack::kExitRefused);
    EXPECT_NE(errors.find("not a package"), std::string::npos) << errors;
    EXPECT_EQ(Run({"extract", dir.File("plain.exe")}), sfxpack::kExitUsage);
    EXPECT_FALSE(fs::exists(Out()));
}


TEST_F(SfxpackCommand, TavqPackAndUnpackRoundTrip) {
    std::string data;
    for (int i = 0; i < 50000; ++i) data += static_cast<char>(i % 13 == 0 ? i : 'q');
    WriteBytes(dir.File("a.bin"), data);
    WriteBytes(dir.File("empty.txt"), "");
    ASSERT_EQ(
        Run({"tavq-pack", dir.File("a.bin"), dir.File("empty.txt"), "-o", dir.File("x.tavq")}),
        sfxpack::kExitOk)
        << errors;
    ASSERT_EQ(Run({"tavq-unpack", dir.File("x.tavq"), "-o", dir.File("a.out")}), sfxpack::kExitOk);
    EXPECT_TRUE(ReadBytes(dir.File("a.out")) == data);
    ASSERT_EQ(Run({"tavq-unpack", dir.File("x.tavq"), "-o", dir.File("e.out"), "--node", "1"}),
              sfxpack::kExitOk);
    EXPECT_TRUE(fs::exists(dir.File("e.out")));
    EXPECT_EQ(ReadBytes(dir.File("e.out")), "");
}

// A refused archive costs nothing: the file that was there stays as it was.
TEST_F(SfxpackCommand, TavqUnpackOfADamagedArchiveKeepsTheOldOutput) {
    std::string archive = sfxpack::BuildTavqArchive({{"a", std::string(100000, 'z')}});
    archive.resize(archive.size() - 2);
    WriteBytes(dir.File("cut.tavq"), archive);
    WriteBytes(dir.File("out.bin"), "precious");
    EXPECT_EQ(Run({"tavq-unpack", dir.File("cut.tavq"), "-o", dir.File("out.bin")}),
              sfxpack::kExitRefused);
    EXPECT_NE(errors.find("without an end code"), std::string::npos) << errors;
    EXPECT_EQ(ReadBytes(dir.File("out.bin")), "precious");
    EXPECT_TRUE(TemporaryOutputsIn(dir.path()).empty());

    EXPECT_EQ(Run({"tavq-unpack", dir.File("cut.tavq"), "-o", dir.File("o"), "--node", "x"}),
              sfxpack::kExitUsage);
    EXPECT_EQ(Run({"tavq-pack", dir.File("missing.bin"), "-o", dir.File("m.tavq")}),
              sfxpack::kExitRefused);
    EXPECT_FALSE(fs::exists(dir.File("m.tavq")));
}

}  // namespace
