#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

platform::CommandLine Parse(const wchar_t* line, bool installerOptions = true) {
    platform::CommandLine options;
    if (installerOptions)
        platform::ParseSetupCommandLine(line, &options);
    else
        platform::ParseUninstallCommandLine(line, &options);
    return options;
}

TEST(CommandLine, NoOptionsAfterTheProgramsNameQuotedOrNot) {
    for (const wchar_t* line :
         {L"setup.exe", L"\"C:\\My Files\\setup.exe\"", L"\"C:\\My Files\\setup.exe\"   ", L"",
          static_cast<const wchar_t*>(nullptr)}) {
        const platform::CommandLine options = Parse(line);
        EXPECT_TRUE(options.ok());
        EXPECT_FALSE(options.silent || options.help || options.hasFolder);
        EXPECT_EQ(options.logPath[0], L'\0');
    }
    // A program's name with /S in it is no option.
    EXPECT_FALSE(Parse(L"\"C:\\a /S\\setup.exe\"").silent);
}

TEST(CommandLine, TheFolderIsTheRestOfTheLine) {
    platform::CommandLine options =
        Parse(L"\"C:\\dl\\setup.exe\" /s /LOG=C:\\r.txt /D=C:\\Program Files\\我的 程序  ");
    EXPECT_TRUE(options.ok());
    EXPECT_TRUE(options.silent);
    EXPECT_TRUE(options.hasFolder);
    EXPECT_EQ(std::wstring(options.folder), L"C:\\Program Files\\我的 程序");
    EXPECT_EQ(std::wstring(options.logPath), L"C:\\r.txt");
    // Nothing after /D= is an option; quotes around the folder are forgiven.
    options = Parse(L"setup.exe /D=\"D:\\x /S\"");
    EXPECT_EQ(std::wstring(options.folder), L"D:\\x /S");
    EXPECT_FALSE(options.silent);
    options = Parse(L"setup.exe /LOG=\"C:\\my logs\\r.txt\" /S");
    EXPECT_EQ(std::wstring(options.logPath), L"C:\\my logs\\r.txt");
    EXPECT_TRUE(options.silent);
}

// As scripts quote an argument with spaces: the whole argument in quotes, split by the rules
// of CommandLineToArgvW. Options may follow a quoted folder.
TEST(CommandLine, ArgumentsQuotedWholeAsScriptsWriteThem) {
    platform::CommandLine options =
        Parse(L"setup.exe \"/LOG=C:\\my logs\\r.txt\" \"/D=C:\\My Apps\\X\" /S");
    EXPECT_TRUE(options.ok()) << options.unknown;
    EXPECT_EQ(std::wstring(options.folder), L"C:\\My Apps\\X");
    EXPECT_EQ(std::wstring(options.logPath), L"C:\\my logs\\r.txt");
    EXPECT_TRUE(options.silent);
    // Backslashes count only before a quote: two make one and the quote still counts, one makes
    // the quote part of the text.
    options = Parse(L"setup.exe /LOG=\"C:\\a b\\\\\" /S");
    EXPECT_EQ(std::wstring(options.logPath), L"C:\\a b\\");
    EXPECT_TRUE(options.silent);
    options = Parse(L"setup.exe /LOG=C:\\a\\\"b\" c\" /S");
    EXPECT_EQ(std::wstring(options.logPath), L"C:\\a\"b c");
}

// /S anywhere means no window, also for saying what was wrong.
TEST(CommandLine, SilentCountsAfterAWordThatIsNotOurs) {
    const platform::CommandLine options = Parse(L"setup.exe /Q /bogus /S");
    EXPECT_TRUE(options.silent);
    EXPECT_EQ(std::wstring(options.unknown), L"/Q");
    EXPECT_TRUE(Parse(L"unwise.exe \"/bogus\" /S", false).silent);
}

TEST(CommandLine, WhatIsNotAnOptionOfOursIsNamed) {
    EXPECT_EQ(std::wstring(Parse(L"setup.exe /S /Q").unknown), L"/Q");
    EXPECT_EQ(std::wstring(Parse(L"setup.exe /SILENT").unknown), L"/SILENT");
    EXPECT_EQ(std::wstring(Parse(L"setup.exe readme.txt").unknown), L"readme.txt");
    EXPECT_EQ(std::wstring(Parse(L"setup.exe /D=").unknown), L"/D=");
    EXPECT_EQ(std::wstring(Parse(L"setup.exe /LOG=").unknown), L"/LOG=");
    EXPECT_EQ(std::wstring(Parse(L"setup.exe /LOG=\"C:\\open").unknown), L"/LOG=\"C:\\open");
    // The uninstaller has no destination and writes no report.
    EXPECT_EQ(std::wstring(Parse(L"unwise.exe /D=C:\\x", false).unknown), L"/D=C:\\x");
    EXPECT_EQ(std::wstring(Parse(L"unwise.exe /S /LOG=r.txt", false).unknown), L"/LOG=r.txt");
    EXPECT_TRUE(Parse(L"unwise.exe /S", false).silent);
    // A folder longer than any path is refused, not cut into another folder.
    const std::wstring longFolder(platform::CommandLine::kRoom, L'a');
    EXPECT_FALSE(Parse((L"setup.exe /S /D=C:\\" + longFolder).c_str()).ok());
    EXPECT_TRUE(Parse(L"setup.exe /?").help);
}

}  // namespace
