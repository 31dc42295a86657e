#include <gtest/gtest.h>

#include <cstring>

#include "package/item_list.h"
#include "package/scramble.h"
#include "package/settings_loader.h"
#include "package/trailer.h"
#include "platform/file_block.h"
#include "platform/resource.h"
#include "win32_test_util.h"

TEST(PackageWin32, LoadResourceBlockFindsTheModulesOwnBytes) {
    uint32_t size = 0;
    const unsigned char* bytes = platform::LoadResourceBlock(138, "EXE", &size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), size), "TAVQ-test-bytes");
    EXPECT_EQ(platform::LoadResourceBlock(139, "EXE", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(platform::LoadResourceBlock(138, "PIC", &size), nullptr);
}

TEST(PackageWin32, SettingsOfAPackageWithAChineseName) {
    WinTempDir dir;
    package::ItemList items;
    items.columnsPerRow = 8;
    for (int i = 0; i < 40; ++i) items.AddItem(i == 0 ? "欢迎安装" : "");
    items.AddItem("演示程序");
    for (int i = 42; i <= 64; ++i) items.AddItem("");
    for (const char* item : {"说明.txt", "", "文档", "7", "ASK_COPY", "5", "0", ""})
        items.AddItem(item);
    std::string block = items.text();
    package::ScrambleBlock(reinterpret_cast<unsigned char*>(&block[0]),
                           static_cast<long>(block.size()), package::kSettingsKey);
    const std::string image(3000, 'M');
    const std::string exe = dir.File("安装程序.exe");
    PutBytes(exe, image + block +
                      TrailerText(static_cast<int32_t>(block.size()),
                                  static_cast<int32_t>(image.size())));

    // The temporary copy goes to a folder whose name GBK cannot hold, as a user's may be.
    const std::wstring temp = W(dir.path()) + L"\uae40\ubbfc\uc218 J\u00f6rg\\";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    package::SetupModel model;
    ASSERT_EQ(package::LoadSettings(W(exe).c_str(), &model),
              package::LoadResult::Loaded);
    EXPECT_STREQ(model.pageTexts[0].line0, "欢迎安装");
    EXPECT_STREQ(model.appName, "演示程序");
    ASSERT_EQ(model.fileList.count, 1);
    EXPECT_STREQ(model.fileList.Current()->fileName, "说明.txt");
    EXPECT_STREQ(model.fileList.Current()->subFolder, "文档");
    EXPECT_EQ(model.fileList.Current()->overwriteMode, package::kOverwriteAsk);
    EXPECT_EQ(CountFiles(temp, L"*.tmp"), 0);

    int64_t length = -1;
    auto tail = platform::ReadFileBlock(W(exe).c_str(), &length, 2990);
    ASSERT_TRUE(tail);
    EXPECT_EQ(length,
              static_cast<int64_t>(10 + block.size() +
                                   TrailerText(static_cast<int32_t>(block.size()), 3000).size()));
}
