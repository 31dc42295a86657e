#include "package/install_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using package::InstallLog;
using package::LineList;
using package::RecordResult;

std::vector<std::string> Lines(const package::LineList& list) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < list.count(); ++i) lines.push_back(list.at(i));
    return lines;
}

std::string Log(const std::vector<std::string>& lines, const std::string& end = "\r\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

using V = std::vector<std::string>;

TEST(InstallLogReader, ReadsTheThreeSectionsAsTheFinishStepWritesThem) {
    const std::string text =
        Log({"[FILELIST]", "D:\\Tools\\Editor\\editor.exe", "C:\\WINDOWS\\system32\\grid.ocx", "",
             "[TYPELIST]", "edt", "", "[SHORTCUTLIST]",
             "C:\\Documents and Settings\\user\\Desktop\\editor.lnk"});
    package::InstallLog log;
    ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok());
    EXPECT_EQ(Lines(log.files),
              (V{"D:\\Tools\\Editor\\editor.exe", "C:\\WINDOWS\\system32\\grid.ocx"}));
    EXPECT_EQ(Lines(log.types), V{"edt"});
    EXPECT_EQ(Lines(log.links), V{"C:\\Documents and Settings\\user\\Desktop\\editor.lnk"});
}

TEST(InstallLogReader, TakesCrLfAndLfAsWell) {
    for (const char* end : {"\r\n", "\n"}) {
        const std::string text =
            Log({"[FILELIST]", "C:\\a\\b.txt", "", "[TYPELIST]", "", "[SHORTCUTLIST]"}, end);
        package::InstallLog log;
        ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok()) << end;
        EXPECT_EQ(Lines(log.files), V{"C:\\a\\b.txt"});
    }
}

TEST(InstallLogReader, AnEmptyPackageStillHasItsHeaders) {
    const std::string text = Log({"[FILELIST]", "", "[TYPELIST]", "", "[SHORTCUTLIST]"});
    package::InstallLog log;
    ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok());
    EXPECT_EQ(log.files.count() + log.types.count() + log.links.count(), 0);
}

TEST(InstallLogReader, KeepsGbkPathsWhoseTrailByteIsABackslash) {
    // 淺 is 0xDC 0x5C in GBK.
    const std::string path = "C:\\\xDC\x5C\\a.txt";
    const std::string text = Log({"[FILELIST]", path, "", "[TYPELIST]", "", "[SHORTCUTLIST]"});
    package::InstallLog log;
    ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok());
    EXPECT_EQ(Lines(log.files), V{path});
}

struct Damage {
    const char* what;
    std::string text;
    package::RecordResult result;
    int32_t line;
};

TEST(InstallLogReader, CallsEveryOtherFileDamaged) {
    const std::string good =
        Log({"[FILELIST]", "C:\\a.txt", "", "[TYPELIST]", "", "[SHORTCUTLIST]"});
    const std::vector<Damage> cases = {
        {"empty", "", package::RecordResult::MissingSections, 0},
        {"no header", Log({"C:\\a.txt"}), package::RecordResult::MissingSections, 1},
        {"headers swapped", Log({"[FILELIST]", "[SHORTCUTLIST]", "[TYPELIST]"}),
         package::RecordResult::MissingSections, 2},
        {"a header twice",
         Log({"[FILELIST]", "", "[TYPELIST]", "", "[SHORTCUTLIST]", "[FILELIST]"}),
         package::RecordResult::MissingSections, 6},
        {"last section missing", Log({"[FILELIST]", "", "[TYPELIST]"}),
         package::RecordResult::MissingSections, 0},
        {"cut short", good.substr(0, good.size() - 3), package::RecordResult::Unterminated, 6},
        {"a zero byte", Log({"[FILELIST]", std::string("C:\\a\0b", 6)}),
         package::RecordResult::NotText, 2},
        {"a tab", Log({"[FILELIST]", "C:\\a\tb"}), package::RecordResult::NotText, 2},
        {"a CR inside", Log({"[FILELIST]", "C:\\a\rb"}), package::RecordResult::NotText, 2},
        {"three CRs", "[FILELIST]\r\r\r\n", package::RecordResult::NotText, 1},
        {"a cut character", Log({"[FILELIST]", "C:\\a\xB0"}), package::RecordResult::NotText, 2},
        {"a bad trail byte", Log({"[FILELIST]", "C:\\\xB0\x20"}), package::RecordResult::NotText,
         2},
        {"a line too long", Log({"[FILELIST]", "C:\\" + std::string(1021, 'a')}),
         package::RecordResult::LineTooLong, 2},
    };
    for (const Damage& damage : cases) {
        package::InstallLog log;
        const package::RecordStatus status =
            package::ReadInstallLog(damage.text.data(), damage.text.size(), &log);
        EXPECT_EQ(status.result, damage.result) << damage.what;
        if (damage.line) {
            EXPECT_EQ(status.line, damage.line) << damage.what;
        }
    }
}

TEST(InstallLogReader, TakesALineOfTheLongestLength) {
    const std::string path = "C:\\" + std::string(1020, 'a');
    const std::string text = Log({"[FILELIST]", path, "", "[TYPELIST]", "", "[SHORTCUTLIST]"});
    package::InstallLog log;
    ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok());
    EXPECT_EQ(Lines(log.files), V{path});
}

TEST(InstallLogReader, RefusesARecordLargerThanItsLimit) {
    package::InstallLog log;
    const char byte = 'a';
    EXPECT_EQ(package::ReadInstallLog(&byte, package::kRecordLimit + 1, &log).result,
              package::RecordResult::TooLarge);
}

TEST(FileListReader, ReadsOnePathALine) {
    const std::string text = "C:\\app\\a.txt\r\nC:\\app\\\xCA\xFD\xBE\xDD\\b.txt\r\n\r\n";
    package::LineList files;
    ASSERT_TRUE(package::ReadFileList(text.data(), text.size(), &files).ok());
    EXPECT_EQ(Lines(files), (V{"C:\\app\\a.txt", "C:\\app\\\xCA\xFD\xBE\xDD\\b.txt"}));
}

TEST(FileListReader, AnEmptyListIsAList) {
    package::LineList files;
    EXPECT_TRUE(package::ReadFileList("", 0, &files).ok());
    EXPECT_EQ(files.count(), 0);
}

TEST(FileListReader, CallsACutListDamaged) {
    const std::string text = "C:\\app\\a.txt\r\nC:\\app\\b";
    package::LineList files;
    const package::RecordStatus status = package::ReadFileList(text.data(), text.size(), &files);
    EXPECT_EQ(status.result, package::RecordResult::Unterminated);
    EXPECT_EQ(status.line, 2);
}

TEST(RecordWriter, WritesTheLogAsTheFinishStepDoes) {
    package::InstallLog log;
    log.files.Add("C:\\app\\a.txt");
    log.types.Add("abc");
    log.links.Add("C:\\Desktop\\a.lnk");
    platform::TextBuffer out;
    ASSERT_TRUE(package::WriteInstallLog(log, &out));
    EXPECT_EQ(std::string(out.data(), out.size()),
              Log({"[FILELIST]", "C:\\app\\a.txt", "", "[TYPELIST]", "abc", "", "[SHORTCUTLIST]",
                   "C:\\Desktop\\a.lnk"}));
}

TEST(RecordWriter, WritesTheListWithCrLf) {
    package::LineList files;
    files.Add("C:\\app\\a.txt");
    files.Add("C:\\app\\b.txt");
    platform::TextBuffer out;
    ASSERT_TRUE(package::WriteFileList(files, &out));
    EXPECT_EQ(std::string(out.data(), out.size()), "C:\\app\\a.txt\r\nC:\\app\\b.txt\r\n");
}

TEST(RecordWriter, WhatIsReadWholeReadsTheSameOnceWrittenAgain) {
    const std::string text = Log({"[FILELIST]", "C:\\a.txt", "", "", "C:\\b.txt", "[TYPELIST]",
                                  "abc", "[SHORTCUTLIST]", "C:\\x\\y.lnk", ""},
                                 "\r\n");
    package::InstallLog log;
    ASSERT_TRUE(package::ReadInstallLog(text.data(), text.size(), &log).ok());
    platform::TextBuffer out;
    ASSERT_TRUE(package::WriteInstallLog(log, &out));
    package::InstallLog again;
    ASSERT_TRUE(package::ReadInstallLog(out.data(), out.size(), &again).ok());
    EXPECT_EQ(Lines(again.files), Lines(log.files));
    EXPECT_EQ(Lines(again.types), Lines(log.types));
    EXPECT_EQ(Lines(again.links), Lines(log.links));
}

TEST(LineListTest, HoldsManyLines) {
    package::LineList list;
    for (int i = 0; i < 100000; ++i)
        ASSERT_TRUE(list.Add(("C:\\app\\" + std::to_string(i)).c_str()));
    EXPECT_EQ(list.count(), 100000);
    EXPECT_STREQ(list.at(0), "C:\\app\\0");
    EXPECT_STREQ(list.at(99999), "C:\\app\\99999");
}

TEST(LinkName, CutAfterTheFirstDot) {
    char name[32];
    ASSERT_TRUE(package::LinkName("viewer.exe", name, sizeof name));
    EXPECT_STREQ(name, "viewer.lnk");
    ASSERT_TRUE(package::LinkName("my.tool.exe", name, sizeof name));
    EXPECT_STREQ(name, "my.lnk");
    ASSERT_TRUE(package::LinkName("README", name, sizeof name));
    EXPECT_STREQ(name, "lnk");
    // A trail byte never passes for the dot or ends a name early.
    ASSERT_TRUE(package::LinkName("\xB1\x5C.exe", name, sizeof name));
    EXPECT_STREQ(name, "\xB1\x5C.lnk");
    EXPECT_FALSE(package::LinkName("abcdefgh.exe", name, 12));
}

}  // namespace
