#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "platform/message_box.h"
#include "win32_test_util.h"

namespace {

const std::string kAbababa = "\x80\x10\x48\x50\x28\x24\x04";

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return out;
}

std::string Archive(const std::string& magic, const std::string& stream) {
    return magic + Le(10, 2) + "\xCC\xCC" + Le(1, 4) + Le(0xEE, 2) + Le(0x90, 2) + Le(0, 2) +
           Le(0xFF, 2) + "\xCC\xCC" + Le(0, 4) + Le(7, 4) +
           Le(static_cast<uint32_t>(stream.size()), 4) + Le(1, 2) + "\xCC\xCC" + "a" + stream;
}

std::vector<std::string> g_messages;
void Capture(const char* text, const char* caption) {
    g_messages.push_back(std::string(text) + "|" + caption);
}

TEST(ArchiveWin32, ExtractsIntoAChineseNamedPath) {
    WinTempDir dir;
    const std::string folder = dir.File("文件夹\\");
    ASSERT_TRUE(platform::CreateFolder(folder.c_str()));
    PutBytes(dir.File("归档.tavq"), Archive("TAVQ", kAbababa));
    ASSERT_EQ(archive::ArchiveReader::ExtractFile(dir.File("归档.tavq").c_str(),
                                                  (folder + "解压.bin").c_str(), 0),
              1);
    EXPECT_EQ(GetBytes(folder + "解压.bin"), "ABABABA");
    // The name on disk is the Chinese one, not its GBK bytes read as another code page.
    const std::wstring wide = W(folder) + L"\u89e3\u538b.bin";
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string container = std::string(333, 'M') + Archive("TAVQ", kAbababa);
    PutBytes(dir.File("安装.exe"), container);
    EXPECT_EQ(archive::ArchiveReader::ExtractEmbedded(W(dir.File("安装.exe")).c_str(),
                                                      (folder + "嵌入.txt").c_str(), 333, 100, 0),
              1);
    EXPECT_EQ(GetBytes(folder + "嵌入.txt"), "ABABABA");
}

TEST(ArchiveWin32, RefusalIsReturnedNotShown) {
    WinTempDir dir;
    g_messages.clear();
    platform::SetMessageHook(Capture);
    std::vector<std::string> refusals;
    archive::ExtractResult result;
    PutBytes(dir.File("bad.tavq"), Archive("TAVX", kAbababa));
    EXPECT_EQ(archive::ArchiveReader::ExtractFile(dir.File("bad.tavq").c_str(),
                                                  dir.File("out.bin").c_str(), 0, &result),
              0);
    refusals.push_back(archive::RefusalText(result.refusal));
    PutBytes(dir.File("short.tavq"), "TAVQ");
    EXPECT_EQ(archive::ArchiveReader::ExtractFile(dir.File("short.tavq").c_str(),
                                                  dir.File("out.bin").c_str(), 0, &result),
              0);
    refusals.push_back(archive::RefusalText(result.refusal));
    // A damaged stream: the partial output is removed.
    PutBytes(dir.File("cut.tavq"), Archive("TAVQ", kAbababa.substr(0, 5)));
    EXPECT_EQ(archive::ArchiveReader::ExtractFile(dir.File("cut.tavq").c_str(),
                                                  dir.File("out.bin").c_str(), 0, &result),
              0);
    refusals.push_back(archive::RefusalText(result.refusal));
    platform::SetMessageHook(nullptr);
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(refusals,
              (std::vector<std::string>{"not tavq file", "error tavq file", "error tavq file"}));
    EXPECT_FALSE(platform::PathExists(dir.File("out.bin").c_str()));
}

}  // namespace
