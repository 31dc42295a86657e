#include "install/installation_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "install/package_pieces.h"
#include "package/crc32.h"
#include "package/settings_loader.h"
#include "package_builder.h"
#include "platform/file.h"
#include "platform/test_hooks.h"
#include "tavq_bytes.h"
#include "tools/lzma_encoder.h"
#include "tools/tavq_writer.h"

namespace {

// "ABABABA" as an LZW stream (9-bit codes).
const std::string kAbababa = "\x80\x10\x48\x50\x28\x24\x04";

using install::FailureChoice;
using install::WriteFailure;

// The progress page as a record of what the run showed and asked, with a clock the test moves.
class FakeView : public install::RunView {
public:
    void SetStatus(const char* text) override { statuses.push_back(text); }
    void SetTimeLine(const char* text) override { timeLines.push_back(text); }
    void SetBar(int position) override { bars.push_back(position); }
    void StopAnimation() override { animationStopped = true; }
    bool AskOverwrite(const char* question) override {
        questions.push_back(question);
        return overwrite;
    }
    FailureChoice AskAfterFailure(const char* path, const WriteFailure& failure) override {
        failures.push_back({path, failure});
        FailureChoice choice = answers.empty() ? FailureChoice::Skip : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return choice;
    }
    void ShowMessage(const char* text) override { messages.push_back(text); }
    uint32_t Ticks() override { return now += tick; }
    void Pause(uint32_t milliseconds) override { paused.push_back(milliseconds); }
    void KeepAlive() override { ++keptAlive; }
    void ShowFinishPage() override { finished = true; }
    void SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) override {
        mismatches.push_back(std::string(path) + " " + std::to_string(decoded) + " of " +
                             std::to_string(expected));
    }
    std::vector<std::string> mismatches;
    void FileDone(const char* path, install::FileOutcome outcome) override {
        static const char* const kNames[] = {"written", "kept", "failed", "not installed"};
        outcomes.push_back(std::string(kNames[static_cast<int>(outcome)]) + " " + path);
    }

    std::vector<std::string> statuses, timeLines, questions, messages, outcomes;
    std::vector<int> bars;
    std::vector<std::pair<std::string, WriteFailure>> failures;
    std::vector<FailureChoice> answers;
    std::vector<uint32_t> paused;
    bool overwrite = true, animationStopped = false, finished = false;
    int keptAlive = 0;
    uint32_t now = 1000, tick = 10;
};

class FakeSystem : public install::RunSystem {
public:
    bool RegisterServer(const char* path, uint32_t crc) override {
        registered.push_back(path);
        sums.push_back(crc);
        return true;
    }
    void RegisterFileType(const char* extension, const char* program) override {
        types.push_back(std::string(extension) + "=" + program);
    }
    bool WriteUninstaller(platform::ErrorCode*) override {
        ++uninstallers;
        return uninstallerWorks;
    }
    std::vector<std::string> registered, types;
    std::vector<uint32_t> sums;
    int uninstallers = 0;
    bool uninstallerWorks = true;
};

// A package built with TestPackage, loaded with the installer's loader, installed into a
// folder of the scratch folder. On the host a backslash is an ordinary character of a name, so
// the installer's paths ("...inst\sub\a.txt") map to files of the scratch folder all the same.
class RunTest : public ::testing::Test {
protected:
    void AddFile(const std::string& name, const std::string& bytes,
                 const std::string& overwrite = "", bool compressed = false,
                 const std::string& sub = "") {
        const int offset = pkg.Add(bytes);
        pkg.AddFile(name, "", sub, 0, overwrite, static_cast<int>(bytes.size()), offset,
                    compressed);
    }
    install::RunResult Run() {
        Load();
        Arm();
        std::snprintf(folders.pageInstallDir, sizeof folders.pageInstallDir, "%s", Inst().c_str());
        std::snprintf(folders.windowsDir, sizeof folders.windowsDir, "%s/win", dir.path().c_str());
        std::snprintf(folders.systemDir, sizeof folders.systemDir, "%s/sys", dir.path().c_str());
        run = std::make_unique<install::InstallationRun>(model, folders, view, system);
        return run->Run();
    }
    // Called between loading the package and the run.
    virtual void Arm() {}
    void Load() {
        pkg.Write(dir.File("setup.exe"));
        EXPECT_EQ(package::LoadSettings(dir.File("setup.exe"), &model),
                  package::LoadResult::Loaded);
        std::snprintf(model.exePath, sizeof model.exePath, "%s", dir.File("setup.exe").c_str());
    }
    std::string Inst() const { return dir.path() + "/inst\\"; }
    std::string Installed(const std::string& name) const { return ReadBytes(Inst() + name); }
    void PutInstalled(const std::string& name, const std::string& bytes) {
        platform::CreateFolder((dir.path() + "/inst").c_str());
        WriteBytes(Inst() + name, bytes);
    }

    TempDir dir;
    TestPackage pkg;
    package::SetupModel model;
    install::BaseFolders folders;
    FakeView view;
    FakeSystem system;
    std::unique_ptr<install::InstallationRun> run;
};

TEST_F(RunTest, EveryFileLandsByteForByteStoredOrCompressed) {
    const std::string data(100000, 'd');
    AddFile("a.txt", "alpha");
    AddFile("b.bin", TavqHead() + TavqNodeBytes("b.bin", kAbababa), "", true, "sub\\deeper");
    AddFile("big.dat", data);
    AddFile("empty", "");
    const install::RunResult result = Run();
    EXPECT_EQ(result.missing, 0);
    EXPECT_EQ(Installed("a.txt"), "alpha");
    EXPECT_EQ(Installed("sub\\deeper\\b.bin"), "ABABABA");
    EXPECT_EQ(Installed("big.dat"), data);
    EXPECT_TRUE(platform::PathExists((Inst() + "empty").c_str()));
    EXPECT_EQ(run->written().count(), 4);
    EXPECT_EQ(run->written().bytes(), 5u + 7u + data.size()) << "decoded sizes, not stored ones";
    EXPECT_EQ(std::string(run->written().text()), Inst() + "a.txt\n" + Inst() +
                                                      "sub\\deeper\\b.bin\n" + Inst() +
                                                      "big.dat\n" + Inst() + "empty\n");
    EXPECT_TRUE(view.failures.empty());
    EXPECT_EQ(TemporaryOutputsIn(dir.path()).size(), 0u);
}

TEST_F(RunTest, TheOverwriteModes) {
    PutInstalled("always", "old");
    PutInstalled("missing-only", "old");
    PutInstalled("ask-yes", "old");
    PutInstalled("ask-no", "old");
    AddFile("always", "new", "ALWAYS_COPY");
    AddFile("missing-only", "new", "NOTEXIST_COPY");
    AddFile("ask-yes", "new", "ASK_COPY");
    AddFile("ask-no", "new", "ASK_COPY");
    AddFile("fresh", "new", "NOTEXIST_COPY");
    // The first question gets 覆盖, the second 取消.
    struct : FakeView {
        bool AskOverwrite(const char* question) override {
            questions.push_back(question);
            return questions.size() == 1;
        }
    } asking;
    Load();
    std::snprintf(folders.pageInstallDir, sizeof folders.pageInstallDir, "%s", Inst().c_str());
    install::InstallationRun askingRun(model, folders, asking, system);
    const install::RunResult result = askingRun.Run();
    EXPECT_EQ(result.missing, 0) << "a file kept on purpose is not missing";
    EXPECT_EQ(Installed("always"), "new");
    EXPECT_EQ(Installed("missing-only"), "old");
    EXPECT_EQ(Installed("ask-yes"), "new");
    EXPECT_EQ(Installed("ask-no"), "old");
    EXPECT_EQ(Installed("fresh"), "new");
    ASSERT_EQ(asking.questions.size(), 2u);
    EXPECT_EQ(asking.questions[0], "文件 " + Inst() + "ask-yes 已存在,要覆盖吗?")
        << "the question names the full path";
    EXPECT_EQ(askingRun.written().count(), 3) << "only what was written is listed";
    EXPECT_EQ(askingRun.written().bytes(), 5u * 3) << "what was written, and what was kept";
    EXPECT_EQ(
        asking.outcomes,
        (std::vector<std::string>{"written " + Inst() + "always", "kept " + Inst() + "missing-only",
                                  "written " + Inst() + "ask-yes", "kept " + Inst() + "ask-no",
                                  "written " + Inst() + "fresh"}));
}

// A write that fails: the system's reason reaches the question; try again, skip or stop.
int g_failures = 0;
bool FailingWrites(size_t, platform::ErrorCode* error) {
    if (g_failures == 0) return true;
    --g_failures;
    *error = ENOSPC;
    return false;
}

class FailingRunTest : public RunTest {
protected:
    void Arm() override { platform::SetWriteHook(FailingWrites); }
    void TearDown() override {
        platform::SetWriteHook(nullptr);
        g_failures = 0;
    }
};

TEST_F(FailingRunTest, RetryWritesTheFileOnceTheCauseIsGone) {
    PutInstalled("a.txt", "old");
    AddFile("a.txt", "new");
    g_failures = 1;
    view.answers = {FailureChoice::Retry};
    EXPECT_EQ(Run().missing, 0);
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].first, Inst() + "a.txt");
    EXPECT_EQ(view.failures[0].second.kind, WriteFailure::CannotWrite);
    EXPECT_EQ(view.failures[0].second.error, static_cast<platform::ErrorCode>(ENOSPC));
    EXPECT_EQ(Installed("a.txt"), "new");
}

// Three files of one solid stream, the last one kept: each weighs its own size on the bar, a
// write that fails is tried again from the stream's start, the kept file is decoded past.
class SolidRunTest : public FailingRunTest {
protected:
    void Arm() override {
        FailingRunTest::Arm();
        package::SetupModel scratch;  // for the trailer: `model` is loaded already
        package::PackageTrailer trailer;
        ASSERT_EQ(package::LoadSettings(dir.File("setup.exe"), &scratch, &trailer),
                  package::LoadResult::Loaded);
        platform::RawFile file;
        ASSERT_TRUE(file.OpenRead(dir.File("setup.exe").c_str()));
        ASSERT_TRUE(install::CheckPackagePieces(model, trailer.offset, file).ok());
    }
};

TEST_F(SolidRunTest, EachFileWeighsItsOwnSizeAndARetryDecodesTheStreamAgain) {
    const std::string files[] = {std::string(300, 'a'), std::string(700, 'b'), "kept"};
    sfxpack::LzmaEncoder encoder(6, 1000);
    std::vector<sfxpack::SolidPart> parts;
    for (const std::string& bytes : files) {
        encoder.Add(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        parts.push_back(
            {static_cast<uint32_t>(bytes.size()), package::Crc32(0, bytes.data(), bytes.size())});
    }
    const std::string archive = sfxpack::BuildSolidArchive(encoder.Finish(), parts);
    const int offset = pkg.Add(archive);
    for (const char* name : {"a", "b", "c"})
        pkg.AddFile(name, "", "", 0, name[0] == 'c' ? "NOTEXIST_COPY" : "",
                    static_cast<int>(archive.size()), offset, true);
    PutInstalled("c", "the user's");
    g_failures = 1;
    view.answers = {FailureChoice::Retry};
    EXPECT_EQ(Run().missing, 0);
    EXPECT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(Installed("a"), files[0]);
    EXPECT_EQ(Installed("b"), files[1]);
    EXPECT_EQ(Installed("c"), "the user's");
    EXPECT_EQ(view.bars, (std::vector<int>{298, 996, 1000, 1000})) << "300, 700 and 4 bytes";
}

TEST_F(FailingRunTest, SkipKeepsTheOldFileWholeAndCountsTheMissingOne) {
    PutInstalled("a.txt", "old bytes");
    AddFile("a.txt", "new");
    AddFile("b.txt", "bee");
    g_failures = 1;
    view.answers = {FailureChoice::Skip};
    const install::RunResult result = Run();
    EXPECT_EQ(result.missing, 1);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(Installed("a.txt"), "old bytes");
    EXPECT_EQ(Installed("b.txt"), "bee");
    EXPECT_FALSE(platform::PathExists((Inst() + "a.txt.sfx-new").c_str()))
        << "no part of the new file is left behind";
    EXPECT_EQ(view.statuses.back(), "安装完成,但有 1 个文件未能安装.");
    EXPECT_EQ(run->written().count(), 1);
}

TEST_F(FailingRunTest, StopEndsTheCopyingButTheClosingStepsStillRun) {
    AddFile("a.txt", "a");
    AddFile("b.txt", "b");
    AddFile("c.txt", "c");
    pkg.items[package::layout::FileTypeProgramItem(0)] = "viewer.exe";
    pkg.items[package::layout::FileTypeExtensionItem(0)] = "abc";
    g_failures = 100;
    view.answers = {FailureChoice::Stop};
    const install::RunResult result = Run();
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.missing, 3);
    EXPECT_EQ(view.failures.size(), 1u) << "nothing more is attempted after Stop";
    // A report of the run names every file that was not installed, attempted or not.
    EXPECT_EQ(view.outcomes, (std::vector<std::string>{"failed " + Inst() + "a.txt",
                                                       "not installed " + Inst() + "b.txt",
                                                       "not installed " + Inst() + "c.txt"}));
    EXPECT_EQ(system.uninstallers, 1);
    EXPECT_EQ(system.types, std::vector<std::string>{"abc=" + Inst() + "viewer.exe"});
    EXPECT_EQ(view.bars.back(), 1000);
    EXPECT_TRUE(view.finished);
    EXPECT_EQ(view.statuses.back(), "安装完成,但有 3 个文件未能安装.");
}

TEST_F(RunTest, DamagedCompressedDataIsAFailureNotAnEmptyFile) {
    AddFile("x.bin", TavqHead() + TavqNodeBytes("x", std::string("\x41\x00\x00\x00", 4)), "", true);
    view.answers = {FailureChoice::Skip};
    EXPECT_EQ(Run().missing, 1);
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].second.kind, WriteFailure::DamagedData);
    EXPECT_FALSE(platform::PathExists((Inst() + "x.bin").c_str()));
}

// "ABABABA" from a stream whose archive says 40,000 bytes: a file damaged before it was packed.
// Our packer's packages (the checksum mark) fail the file; the format's other writers' packages
// never had that size read, so the file goes in as decoded and the report says so.
TEST_F(RunTest, AShortDecodeFailsTheFileInOurPackages) {
    AddFile("x.bin", TavqHead() + TavqNodeBytes("x.bin", kAbababa, 40000), "", true);
    pkg.items[63] = "CRC32";
    PutInstalled("x.bin", "old");
    view.answers = {FailureChoice::Skip};
    EXPECT_EQ(Run().missing, 1);
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].second.kind, WriteFailure::DamagedData);
    EXPECT_EQ(Installed("x.bin"), "old");
}

TEST_F(RunTest, AShortDecodeInAnotherWritersPackageIsInstalledAndReported) {
    AddFile("x.bin", TavqHead() + TavqNodeBytes("x.bin", kAbababa, 40000), "", true);
    EXPECT_EQ(Run().missing, 0);
    EXPECT_EQ(Installed("x.bin"), "ABABABA");
    EXPECT_EQ(view.mismatches, std::vector<std::string>{Inst() + "x.bin 7 of 40000"});
}

// The start-up refuses such packages; should one get this far, the run checks each file against
// the folders the user chose before it makes a folder or writes a byte.
TEST_F(RunTest, AnEntryThatLeavesItsFolderIsRefusedBeforeAnythingIsMade) {
    AddFile("ok.txt", "ok");
    AddFile("evil.txt", "evil", "", false, "..\\escaped");
    AddFile("evil2.txt", "evil", "", false, "sub/../../escaped");
    pkg.items[52] = "INSTALL_FOLDER\\..\\escaped.exe";  // the program of file type 0
    pkg.items[53] = "dmo";
    view.answers = {FailureChoice::Skip, FailureChoice::Retry};
    EXPECT_EQ(Run().missing, 2);
    EXPECT_EQ(Installed("ok.txt"), "ok");
    ASSERT_EQ(view.failures.size(), 2u);
    EXPECT_EQ(view.failures[0].first, Inst() + "..\\escaped\\evil.txt");
    EXPECT_EQ(view.failures[0].second.kind, WriteFailure::DamagedData);
    EXPECT_EQ(view.failures[1].second.kind, WriteFailure::DamagedData);
    EXPECT_TRUE(system.types.empty());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find("escaped"), std::string::npos) << entry.path();
}

// A control that was there already may be anyone's: only what the run wrote is loaded, with the
// sum of the bytes it wrote.
TEST_F(RunTest, OnlyControlsTheRunWroteAreRegistered) {
    PutInstalled("kept.ocx", "old");
    AddFile("kept.ocx", "new", "NOTEXIST_COPY");
    PutInstalled("replaced.ocx", "old");
    AddFile("replaced.ocx", "new");
    AddFile("grid.OCX", "x");
    AddFile("ocx", "x");
    AddFile("a.ocx.txt", "x");
    Run();
    EXPECT_EQ(system.registered,
              (std::vector<std::string>{Inst() + "replaced.ocx", Inst() + "grid.OCX"}));
    EXPECT_EQ(system.sums,
              (std::vector<uint32_t>{package::Crc32(0, "new", 3), package::Crc32(0, "x", 1)}));
}

TEST_F(RunTest, TheTextsBarAndPausesOfARun) {
    AddFile("a", std::string(300, 'a'));
    AddFile("b", std::string(700, 'b'));
    view.tick = 10;  // each file takes 10 ms on the fake clock
    Run();
    ASSERT_GE(view.statuses.size(), 4u);
    EXPECT_EQ(view.statuses[0], "正在获取文件信息...");
    ASSERT_LE(Inst().size() + 1, 36u);
    EXPECT_EQ(view.statuses[1], "正在拷贝至 " + Inst() + "a ") << "the path between two spaces";
    EXPECT_EQ(view.statuses.back(), "安装完成");
    EXPECT_EQ(view.bars, (std::vector<int>{300, 1000, 1000}));
    EXPECT_EQ(view.timeLines.front(), "估计剩余时间...");
    EXPECT_EQ(view.timeLines.back(), "估计剩余时间0秒.");
    EXPECT_EQ(view.paused, (std::vector<uint32_t>{500, 500}));
    EXPECT_TRUE(view.animationStopped);
    EXPECT_TRUE(view.finished);
    EXPECT_EQ(view.keptAlive, 2) << "the window is kept alive between files";
}

TEST_F(RunTest, AnEmptyListAndAZeroTotalStillRunTheClosingSteps) {
    AddFile("zero", "");
    pkg.items[package::layout::FileTypeExtensionItem(1)] = "dmo";
    pkg.items[package::layout::FileTypeProgramItem(1)] = "WINDOWS_FOLDER\\v.exe";
    Run();
    EXPECT_EQ(view.bars, std::vector<int>{1000}) << "no division by a total of 0";
    EXPECT_EQ(view.timeLines, (std::vector<std::string>{"估计剩余时间...", "估计剩余时间0秒."}));
    EXPECT_EQ(view.paused, (std::vector<uint32_t>{500, 500, 500}));
    EXPECT_EQ(view.statuses[view.statuses.size() - 2], "正在创建文件类型关联...");
    EXPECT_EQ(system.types, std::vector<std::string>{"dmo=" + dir.path() + "/win\\v.exe"});
    EXPECT_TRUE(view.finished);
}

TEST_F(RunTest, AFailedUninstallerIsShownAndTheRunGoesOn) {
    system.uninstallerWorks = false;
    const install::RunResult result = Run();
    EXPECT_FALSE(result.uninstallerWritten);
    EXPECT_EQ(view.messages, std::vector<std::string>{"创建 unwise.exe 失败!"});
    EXPECT_TRUE(view.finished);
}

}  // namespace
