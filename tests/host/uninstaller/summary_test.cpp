#include "uninstaller/summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "uninstaller/messages.h"

namespace {

using unwise::Subject;
using unwise::Verdict;

class NumberReasons : public unwise::ReasonSource {
public:
    void Describe(platform::ErrorCode error, char* text, size_t room) override {
        std::snprintf(text, room, "error %lu", error);
    }
};

std::string Summary(const unwise::Report& report) {
    NumberReasons reasons;
    platform::TextBuffer out;
    EXPECT_TRUE(unwise::FormatSummary(report, reasons, &out));
    return std::string(out.data(), out.size());
}

TEST(UninstallSummary, NothingStayedSaysNothing) {
    unwise::Report report;
    EXPECT_EQ(Summary(report), "");
}

TEST(UninstallSummary, GroupsWhatStayedWithItsReasons) {
    unwise::Report report;
    report.Add(Subject::File, Verdict::Shared, 0, "C:\\Windows\\a.dll");
    report.Add(Subject::File, Verdict::Failed, 32, "C:\\App\\app.exe");
    report.Add(Subject::File, Verdict::Outside, 0, "C:\\Other\\b.txt");
    report.Add(Subject::Folder, Verdict::NotEmpty, 145, "C:\\App\\data");
    report.Add(Subject::FileType, Verdict::Failed, 5, "abc");
    report.Add(Subject::Link, Verdict::LinkTarget, 0, "C:\\Desktop\\x.lnk");
    report.Add(Subject::Entry, Verdict::Failed, 5, "");
    // All but the shared file and the folder that holds more: the refusals count.
    EXPECT_EQ(report.failures(), 5);
    const std::string want =
        std::string(unwise::text::kFailedHeading) + "\r\n" + "    C:\\App\\app.exe\r\n        " +
        unwise::text::kReason + "error 32\r\n" + "    " + unwise::text::kFileType +
        "abc\r\n        " + unwise::text::kReason + "error 5\r\n" + "    " +
        unwise::text::kUninstallEntry + "\r\n        " + unwise::text::kReason + "error 5\r\n\r\n" +
        unwise::text::kSharedHeading + "\r\n    C:\\Windows\\a.dll\r\n\r\n" +
        unwise::text::kRefusedHeading + "\r\n    C:\\Other\\b.txt (" + unwise::text::kOutside +
        ")\r\n    C:\\Desktop\\x.lnk (" + unwise::text::kLinkTarget + ")\r\n\r\n" +
        unwise::text::kNotEmptyHeading + "\r\n    C:\\App\\data\r\n";
    EXPECT_EQ(Summary(report), want);
}

TEST(UninstallSummary, CountsWhatIsNotNamed) {
    unwise::Report report;
    for (int i = 0; i < unwise::kSummaryItems + 5; ++i)
        report.Add(Subject::File, Verdict::Outside, 0, ("C:\\x\\" + std::to_string(i)).c_str());
    const std::string summary = Summary(report);
    EXPECT_NE(summary.find(std::string(unwise::text::kMore) + "5\r\n"), std::string::npos);
    EXPECT_EQ(summary.find("C:\\x\\300 "), std::string::npos);
}

TEST(UninstallSummary, EmptyTextsTakeTheirDefaults) {
    package::UninstallerBlock block;
    std::snprintf(block.texts[2], sizeof block.texts[2], "%s", "Remove it?");
    EXPECT_STREQ(unwise::UninstallerText(block, 0), unwise::text::kSomethingStayed);
    EXPECT_STREQ(unwise::UninstallerText(block, 1), unwise::text::kRemoving);
    EXPECT_STREQ(unwise::UninstallerText(block, 2), "Remove it?");
    EXPECT_STREQ(unwise::UninstallerText(block, 3), unwise::text::kRemoved);
}

}  // namespace
