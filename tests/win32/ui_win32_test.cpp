// The wizard's pieces that need Windows but no display: pictures, icons, the package loader of
// the application object, and the resources every page is built from.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/item_list.h"
#include "package/scramble.h"
#include "package/settings_loader.h"
#include "package/trailer.h"
#include "platform/dialog.h"
#include "platform/icon.h"
#include "platform/ole.h"
#include "platform/picture_holder.h"
#include "platform/resource.h"
#include "platform/text_win32.h"
#include "platform/window_message_box.h"
#include "ui/folder_rules.h"
#include "ui/install_folder.h"
#include "ui/setup_app.h"
#include "win32_test_util.h"

namespace {

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { platform::StartOle(); }
};
const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// Temporary files of ours left in the temporary folder.
int TempLeftovers() { return CountFiles(TempFolderW(), L"qorv-*"); }

void SetExePath(ui::SetupApp& app, const std::string& gbkPath) {
    lstrcpynW(app.model.exePath, W(gbkPath).c_str(), platform::kPathRoom);
}

std::string RawResource(int id, LPCWSTR type) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(nullptr, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return std::string(bytes, SizeofResource(nullptr, found));
}

std::string ResourceBytes(int id, const char* type) {
    uint32_t size = 0;
    const unsigned char* bytes = platform::LoadResourceBlock(id, type, &size);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : std::string();
}

void Put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, static_cast<uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<uint16_t>(value >> 16));
}

// A 24-bit BMP file, `width` x `height`, the top half `top` and the bottom half `bottom`
// (0x00RRGGBB).
std::string StripedBmp(int width, int height, uint32_t top, uint32_t bottom) {
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int row = height - 1; row >= 0; --row) {  // bottom-up
        std::string line;
        uint32_t colour = row < height / 2 ? top : bottom;
        for (int x = 0; x < width; ++x) {
            line += static_cast<char>(colour & 0xFF);
            line += static_cast<char>((colour >> 8) & 0xFF);
            line += static_cast<char>((colour >> 16) & 0xFF);
        }
        line.resize(static_cast<size_t>(stride), '\0');
        pixels += line;
    }
    std::string file = "BM";
    Put32(file, static_cast<uint32_t>(14 + 40 + pixels.size()));
    Put32(file, 0);
    Put32(file, 14 + 40);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(height));
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i) Put32(file, 0);
    return file + pixels;
}

int HimetricToPixels(int32_t himetric) { return MulDiv(himetric, 96, 2540); }

// A white 32-bit canvas to draw into, read back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = 0xFFFFFF;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // 0x00RRGGBB
    uint32_t At(int x, int y) {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

bool Near(uint32_t colour, uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((colour >> shift) & 0xFF);
        int b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > 48) return false;
    }
    return true;
}

TEST(PictureHolderWin32, BmpDecodesToItsSize) {
    const std::string bmp = StripedBmp(8, 6, 0xFF0000, 0x0000FF);
    platform::PictureHolder picture;
    ASSERT_TRUE(picture.LoadFromMemory(reinterpret_cast<const unsigned char*>(bmp.data()),
                                       static_cast<int32_t>(bmp.size())));
    EXPECT_EQ(picture.loaded, 1);
    EXPECT_EQ(HimetricToPixels(picture.widthHimetric), 8);
    EXPECT_EQ(HimetricToPixels(picture.heightHimetric), 6);
}

TEST(PictureHolderWin32, JpegDecodesToItsSize) {
    const std::string jpeg = RawResource(2, MAKEINTRESOURCEW(10));  // RT_RCDATA
    ASSERT_FALSE(jpeg.empty());
    platform::PictureHolder picture;
    ASSERT_TRUE(picture.LoadFromMemory(reinterpret_cast<const unsigned char*>(jpeg.data()),
                                       static_cast<int32_t>(jpeg.size())));
    EXPECT_EQ(HimetricToPixels(picture.widthHimetric), 32);
    EXPECT_EQ(HimetricToPixels(picture.heightHimetric), 64);
}

TEST(PictureHolderWin32, DrawStretchesThePictureUprightIntoTheRectangle) {
    const std::string bmp = StripedBmp(4, 4, 0xFF0000, 0x0000FF);
    platform::PictureHolder picture;
    ASSERT_TRUE(picture.LoadFromMemory(reinterpret_cast<const unsigned char*>(bmp.data()),
                                       static_cast<int32_t>(bmp.size())));
    Canvas canvas(60, 80);
    ASSERT_TRUE(picture.Draw(canvas.dc(), 10, 20, 40, 50));
    EXPECT_EQ(canvas.At(12, 22), 0xFF0000u) << "red stays on top";
    EXPECT_EQ(canvas.At(47, 42), 0xFF0000u);
    EXPECT_EQ(canvas.At(12, 47), 0x0000FFu) << "blue stays below";
    EXPECT_EQ(canvas.At(47, 68), 0x0000FFu);
    EXPECT_EQ(canvas.At(9, 30), 0xFFFFFFu) << "nothing outside the rectangle";
    EXPECT_EQ(canvas.At(50, 30), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(30, 19), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(30, 70), 0xFFFFFFu);
}

TEST(PictureHolderWin32, JpegFromTheResourceDrawsItsColours) {
    platform::PictureHolder picture;
    ASSERT_TRUE(picture.LoadFromResource(130, "PIC"));
    Canvas canvas(115, 250);
    ASSERT_TRUE(picture.Draw(canvas.dc(), 0, 0, 115, 250));
    EXPECT_TRUE(Near(canvas.At(57, 40), 0xFF0000)) << std::hex << canvas.At(57, 40);
    EXPECT_TRUE(Near(canvas.At(57, 210), 0x0000FF)) << std::hex << canvas.At(57, 210);
}

TEST(PictureHolderWin32, NoPictureDrawsNothing) {
    platform::PictureHolder picture;
    Canvas canvas(8, 8);
    EXPECT_FALSE(picture.Draw(canvas.dc(), 0, 0, 8, 8));
    EXPECT_EQ(canvas.At(3, 3), 0xFFFFFFu);

    const unsigned char garbage[] = "this is no picture at all";
    EXPECT_FALSE(picture.LoadFromMemory(garbage, sizeof garbage));
    EXPECT_EQ(picture.loaded, 0);
    EXPECT_FALSE(picture.LoadFromMemory(garbage, 0));
    EXPECT_FALSE(picture.LoadFromResource(131, "PIC"));
    EXPECT_FALSE(picture.Draw(canvas.dc(), 0, 0, 8, 8));
}

TEST(PictureHolderWin32, AFailedReloadDropsTheEarlierPicture) {
    const std::string bmp = StripedBmp(4, 4, 0xFF0000, 0x0000FF);
    platform::PictureHolder picture;
    ASSERT_TRUE(picture.LoadFromMemory(reinterpret_cast<const unsigned char*>(bmp.data()),
                                       static_cast<int32_t>(bmp.size())));
    const unsigned char garbage[] = "no picture";
    EXPECT_FALSE(picture.LoadFromMemory(garbage, sizeof garbage));
    Canvas canvas(8, 8);
    EXPECT_FALSE(picture.Draw(canvas.dc(), 0, 0, 8, 8));
    EXPECT_EQ(canvas.At(3, 3), 0xFFFFFFu);
}

TEST(PackageIconWin32, IconBytesBecomeAnIconAndTheTemporaryFileGoes) {
    // The program's own icon file (drawn at build time) as a package would carry it.
    const std::string file = RawResource(3, MAKEINTRESOURCEW(10));  // RT_RCDATA
    ASSERT_FALSE(file.empty());
    HICON icon = platform::LoadIconFromBytes(reinterpret_cast<const unsigned char*>(file.data()),
                                             static_cast<int32_t>(file.size()));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    EXPECT_EQ(TempLeftovers(), 0);
}

TEST(PackageIconWin32, GarbageGivesNoIconAndNoLeftover) {
    const unsigned char garbage[] = "not an icon, not even close";
    EXPECT_EQ(platform::LoadIconFromBytes(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(platform::LoadIconFromBytes(garbage, 0), nullptr);
    // A directory that claims an image beyond the bytes it came with.
    std::string cut = RawResource(3, MAKEINTRESOURCEW(10));
    ASSERT_GT(cut.size(), 100u);
    cut.resize(60);
    EXPECT_EQ(platform::LoadIconFromBytes(reinterpret_cast<const unsigned char*>(cut.data()),
                                          static_cast<int32_t>(cut.size())),
              nullptr);
    EXPECT_EQ(TempLeftovers(), 0);
}

TEST(PackageIconWin32, WithoutAPackageIconTheProgramsIconIsUsed) {
    HICON own = platform::LoadSetupIcon(L"unused.exe", 0, 0);
    EXPECT_NE(own, nullptr);
    WinTempDir dir;
    EXPECT_EQ(platform::LoadSetupIcon(W(dir.File("missing.exe")).c_str(), 766, 0), nullptr)
        << "a package icon that cannot be read gives none, not the program's";
}

// A package: the settings (with the given application name and pictures) behind `image`.
struct PackageParts {
    std::string picture;
    std::string background;
    bool showBackground = false;
};

std::string BuildPackage(const PackageParts& parts) {
    std::string image(2048, 'M');
    const int32_t pictureOffset = static_cast<int32_t>(image.size());
    image += parts.picture;
    const int32_t backgroundOffset = static_cast<int32_t>(image.size());
    image += parts.background;

    package::ItemList items;
    items.columnsPerRow = 8;
    for (int i = 0; i < 40; ++i) items.AddItem(i == 1 ? "" : "第一页");
    items.AddItem("演示程序");
    for (int i = 42; i <= 48; ++i) items.AddItem("");
    items.AddItem(std::to_string(parts.picture.size()).c_str());
    items.AddItem(std::to_string(pictureOffset).c_str());
    items.AddItem("0");
    items.AddItem("0");
    for (int i = 53; i <= 56; ++i) items.AddItem("");
    items.AddItem(parts.showBackground ? "TRUE" : "FALSE");
    items.AddItem(std::to_string(parts.background.size()).c_str());
    items.AddItem(std::to_string(backgroundOffset).c_str());
    items.AddItem("背景");
    items.AddItem("8405024");
    items.AddItem("FALSE");
    items.AddItem("");
    items.AddItem("");
    std::string block = items.text();
    package::ScrambleBlock(reinterpret_cast<unsigned char*>(&block[0]),
                           static_cast<long>(block.size()), package::kSettingsKey);
    return image + block +
           TrailerText(static_cast<int32_t>(block.size()), static_cast<int32_t>(image.size()));
}

TEST(LoadPackageWin32, AProgramWithoutAPackageFails) {
    ui::SetupApp app;
    EXPECT_NE(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_EQ(TempLeftovers(), 0);
    EXPECT_EQ(app.wizardPicture.loaded, 0);
}

TEST(LoadPackageWin32, APackageLoadsItsSettingsAndPictures) {
    WinTempDir dir;
    PackageParts parts;
    parts.picture = StripedBmp(10, 20, 0xFF0000, 0x0000FF);
    parts.background = StripedBmp(30, 40, 0x00FF00, 0x00FF00);
    parts.showBackground = true;
    ui::SetupApp app;
    SetExePath(app, dir.File("安装.exe"));
    PutBytes(dir.File("安装.exe"), BuildPackage(parts));
    ASSERT_EQ(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_STREQ(app.model.appName, "演示程序");
    EXPECT_STREQ(app.model.pageTexts[0].line1, "");
    EXPECT_EQ(app.model.backgroundColor, 8405024u);
    EXPECT_EQ(app.wizardPicture.loaded, 1);
    EXPECT_EQ(HimetricToPixels(app.wizardPicture.widthHimetric), 10);
    EXPECT_EQ(app.backgroundPicture.loaded, 1);
    EXPECT_EQ(HimetricToPixels(app.backgroundPicture.heightHimetric), 40);
    EXPECT_EQ(TempLeftovers(), 0);
}

TEST(LoadPackageWin32, TheLoadedPackageCannotBeReplacedWhileTheInstallerRuns) {
    WinTempDir dir;
    ui::SetupApp app;
    SetExePath(app, dir.File("setup.exe"));
    PutBytes(dir.File("setup.exe"), BuildPackage(PackageParts()));
    ASSERT_EQ(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    const std::wstring path = W(dir.File("setup.exe"));
    EXPECT_FALSE(MoveFileW(path.c_str(), W(dir.File("moved.exe")).c_str()));
    EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    // Another reader, such as a second installer started from the same file, still reads it.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
}

TEST(LoadPackageWin32, WithoutABackgroundItsPictureStaysEmpty) {
    WinTempDir dir;
    PackageParts parts;
    parts.background = StripedBmp(30, 40, 0x00FF00, 0x00FF00);
    ui::SetupApp app;
    SetExePath(app, dir.File("setup.exe"));
    PutBytes(dir.File("setup.exe"), BuildPackage(parts));
    ASSERT_EQ(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_EQ(app.backgroundPicture.loaded, 0);
    // No packaged wizard picture: the program's resource PIC 130 stands in.
    EXPECT_EQ(app.wizardPicture.loaded, 1);
    EXPECT_EQ(HimetricToPixels(app.wizardPicture.heightHimetric), 64);
}

TEST(LoadPackageWin32, ADamagedTrailerFails) {
    WinTempDir dir;
    std::string bytes = BuildPackage(PackageParts());
    bytes.replace(bytes.rfind("SEEK:") + 5, 1, "9");
    ui::SetupApp app;
    SetExePath(app, dir.File("setup.exe"));
    PutBytes(dir.File("setup.exe"), bytes);
    EXPECT_NE(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_EQ(TempLeftovers(), 0);
}

TEST(LoadPackageWin32, WhatOthersPutAtTheOldTemporaryNameIsNeitherAnObstacleNorTouched) {
    const std::wstring temp = TempFolderW();
    const std::string planted = G(temp) + "qorv.tmp";
    CreateDirectoryW(W(planted).c_str(), nullptr);
    ASSERT_TRUE(platform::IsFolder(planted.c_str()));
    WinTempDir dir;
    ui::SetupApp app;
    SetExePath(app, dir.File("setup.exe"));
    PutBytes(dir.File("setup.exe"), BuildPackage(PackageParts()));
    EXPECT_EQ(app.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_TRUE(platform::IsFolder(planted.c_str()));
    RemoveDirectoryW(W(planted).c_str());

    ASSERT_TRUE(PutBytes(planted, "someone else's"));
    SetFileAttributesW(W(planted).c_str(), FILE_ATTRIBUTE_READONLY);
    ui::SetupApp again;
    SetExePath(again, dir.File("setup.exe"));
    EXPECT_EQ(again.LoadPackage(true), ui::SetupApp::Load::Ready);
    EXPECT_EQ(GetBytes(planted), "someone else's");
    EXPECT_EQ(GetFileAttributesW(W(planted).c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    SetFileAttributesW(W(planted).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(W(planted).c_str());
    EXPECT_EQ(TempLeftovers(), 0);
}

TEST(DataExchangeWin32, TheLengthMessageNamesTheLimit) {
    char text[64];
    platform::Dialog::MaxLengthMessage(47, text, sizeof text);
    EXPECT_STREQ(text, "请输入不超过 47 个字符。");
    platform::Dialog::MaxLengthMessage(528, text, sizeof text);
    EXPECT_STREQ(text, "请输入不超过 528 个字符。");
}

// --- The resources every window of the wizard is built from. ---

struct Control {
    int id;
    short x, y, cx, cy;
    std::wstring text;
    std::wstring windowClass;  // or the predefined class as "#0x80" and so on
    DWORD style;
};

struct Template {
    DWORD style;
    short x, y, cx, cy;
    std::wstring title;
    int fontSize = 0;
    std::wstring font;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    uint16_t Word() {
        uint16_t value = 0;
        if (at_ + 2 <= bytes_.size()) std::memcpy(&value, bytes_.data() + at_, 2);
        at_ += 2;
        return value;
    }
    uint32_t Dword() {
        uint32_t low = Word();
        return low | (static_cast<uint32_t>(Word()) << 16);
    }
    std::wstring StringOrOrdinal() {
        uint16_t first = Word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (uint16_t c = first; c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

Template ReadTemplate(int id) {
    const std::string bytes = RawResource(id, MAKEINTRESOURCEW(5));  // RT_DIALOG
    Template result{};
    if (bytes.empty()) return result;
    Reader in(bytes);
    EXPECT_EQ(in.Word(), 1) << "DIALOGEX";
    EXPECT_EQ(in.Word(), 0xFFFF);
    in.Dword();  // help id
    in.Dword();  // extended style
    result.style = in.Dword();
    const int count = in.Word();
    result.x = static_cast<short>(in.Word());
    result.y = static_cast<short>(in.Word());
    result.cx = static_cast<short>(in.Word());
    result.cy = static_cast<short>(in.Word());
    in.StringOrOrdinal();  // menu
    in.StringOrOrdinal();  // class
    result.title = in.StringOrOrdinal();
    if (result.style & DS_SETFONT) {
        result.fontSize = in.Word();
        in.Word();
        in.Word();
        result.font = in.StringOrOrdinal();
    }
    for (int i = 0; i < count; ++i) {
        in.AlignDword();
        Control control{};
        in.Dword();
        in.Dword();
        control.style = in.Dword();
        control.x = static_cast<short>(in.Word());
        control.y = static_cast<short>(in.Word());
        control.cx = static_cast<short>(in.Word());
        control.cy = static_cast<short>(in.Word());
        control.id = static_cast<int>(in.Dword());
        control.windowClass = in.StringOrOrdinal();
        control.text = in.StringOrOrdinal();
        uint16_t extra = in.Word();
        for (uint16_t b = 0; b < extra; b += 2) in.Word();
        result.controls.push_back(control);
    }
    return result;
}

struct Expected {
    int id;
    short x, y, cx, cy;
};

void ExpectControls(int templateId, const std::vector<Expected>& expected) {
    const Template found = ReadTemplate(templateId);
    ASSERT_EQ(found.controls.size(), expected.size()) << "template " << templateId;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& control = found.controls[i];
        const Expected& want = expected[i];
        EXPECT_EQ(control.id, want.id) << "template " << templateId << " control " << i;
        EXPECT_EQ(control.x, want.x) << "control " << want.id;
        EXPECT_EQ(control.y, want.y) << "control " << want.id;
        EXPECT_EQ(control.cx, want.cx) << "control " << want.id;
        EXPECT_EQ(control.cy, want.cy) << "control " << want.id;
    }
}

void ExpectPage(int templateId) {
    const Template page = ReadTemplate(templateId);
    EXPECT_EQ(page.cx, 285) << templateId;
    EXPECT_EQ(page.cy, 180) << templateId;
    EXPECT_EQ(page.fontSize, 9) << templateId;
    EXPECT_EQ(page.font, L"\x5B8B\x4F53") << templateId;  // 宋体
    EXPECT_TRUE(page.style & WS_CHILD) << templateId;
    for (const Control& control : page.controls)
        EXPECT_GE(control.x, 87) << "the left strip is the side picture's, template " << templateId;
}

TEST(SetupResourcesWin32, WelcomePage) {
    ExpectPage(129);
    ExpectControls(129, {{1007, 90, 7, 187, 8},
                         {1008, 90, 20, 186, 8},
                         {1009, 90, 45, 188, 8},
                         {1010, 90, 60, 187, 8},
                         {1011, 90, 90, 189, 8},
                         {1012, 90, 105, 189, 8},
                         {1013, 90, 135, 188, 8},
                         {1014, 90, 148, 190, 8}});
}

TEST(SetupResourcesWin32, AgreementPage) {
    ExpectPage(130);
    ExpectControls(130, {{1015, 91, 7, 190, 8},
                         {1016, 91, 19, 190, 8},
                         {1006, 91, 37, 191, 94},
                         {1001, 123, 153, 44, 13},
                         {1002, 211, 153, 44, 13}});
    const Template page = ReadTemplate(130);
    ASSERT_EQ(page.controls.size(), 5u);
    EXPECT_EQ(page.controls[2].style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
              static_cast<DWORD>(ES_MULTILINE | ES_READONLY));
    EXPECT_EQ(page.controls[3].text, L"\x6211\x540C\x610F");        // 我同意
    EXPECT_EQ(page.controls[4].text, L"\x6211\x4E0D\x540C\x610F");  // 我不同意
    EXPECT_EQ(page.controls[3].style & 0xF, static_cast<DWORD>(BS_AUTORADIOBUTTON));
    EXPECT_TRUE(page.controls[3].style & WS_GROUP) << "the two choices form one group";
}

TEST(SetupResourcesWin32, FolderPage) {
    ExpectPage(131);
    ExpectControls(131, {{1017, 91, 8, 190, 8},
                         {1018, 91, 23, 190, 8},
                         {1019, 92, 38, 185, 8},
                         {1020, 92, 58, 188, 8},
                         {1000, 92, 71, 151, 15},
                         {1005, 248, 71, 37, 15}});
}

TEST(SetupResourcesWin32, ProgressPage) {
    ExpectPage(132);
    ExpectControls(132, {{1021, 87, 25, 195, 8},
                         {1025, 87, 43, 192, 11},
                         {1004, 88, 60, 185, 21},
                         {1002, 87, 91, 186, 17},
                         {1026, 87, 118, 193, 12}});
    const Template page = ReadTemplate(132);
    ASSERT_EQ(page.controls.size(), 5u);
    // The resource compiler writes class names in capitals; Windows compares them without case.
    EXPECT_EQ(lstrcmpiW(page.controls[2].windowClass.c_str(), L"SysAnimate32"), 0);
    EXPECT_EQ(page.controls[2].style & (ACS_CENTER | ACS_TRANSPARENT | ACS_TIMER),
              static_cast<DWORD>(ACS_CENTER | ACS_TRANSPARENT));
    EXPECT_EQ(lstrcmpiW(page.controls[3].windowClass.c_str(), L"msctls_progress32"), 0);
}

TEST(SetupResourcesWin32, FinishPage) {
    ExpectPage(133);
    ExpectControls(133, {{1022, 87, 11, 193, 8},
                         {1023, 87, 26, 191, 8},
                         {1003, 89, 45, 126, 13},
                         {1005, 89, 63, 126, 13},
                         {1004, 89, 81, 126, 13},
                         {1006, 89, 107, 126, 13},
                         {1007, 89, 123, 126, 13},
                         {1024, 89, 149, 190, 8}});
}

TEST(SetupResourcesWin32, ConfirmationDialog) {
    const Template box = ReadTemplate(136);
    EXPECT_EQ(box.cx, 134);
    EXPECT_EQ(box.cy, 55);
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 0);
    EXPECT_EQ(box.fontSize, 10);
    EXPECT_EQ(box.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    ExpectControls(
        136,
        {{1, 34, 37, 39, 14}, {2, 87, 37, 39, 14}, {1027, 7, 10, 18, 20}, {1000, 34, 10, 91, 22}});
    ASSERT_EQ(box.controls.size(), 4u);
    EXPECT_EQ(box.controls[0].style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(box.controls[3].style & (ES_READONLY | ES_MULTILINE | ES_CENTER | WS_BORDER),
              static_cast<DWORD>(ES_READONLY | ES_MULTILINE | ES_CENTER));
}

TEST(SetupResourcesWin32, BackgroundWindow) {
    const Template window = ReadTemplate(139);
    EXPECT_EQ(window.title, L"SETUP");
    EXPECT_EQ(window.cx, 160);
    EXPECT_EQ(window.cy, 110);
    EXPECT_EQ(window.fontSize, 10);
    EXPECT_EQ(window.font, L"System");
    EXPECT_TRUE(window.style & WS_POPUP);
    EXPECT_EQ(window.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(window.controls.empty());
}

uint32_t Dword(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

TEST(SetupResourcesWin32, CopyAnimationIsA17FrameRle8Clip) {
    const std::string clip = ResourceBytes(131, "AVI");
    ASSERT_GT(clip.size(), 200u);
    EXPECT_EQ(clip.substr(0, 4), "RIFF");
    EXPECT_EQ(clip.substr(8, 4), "AVI ");
    const size_t avih = clip.find("avih");
    ASSERT_NE(avih, std::string::npos);
    EXPECT_EQ(Dword(clip, avih + 8), 100000u) << "100 ms per frame";
    EXPECT_EQ(Dword(clip, avih + 8 + 16), 17u) << "frames";
    EXPECT_EQ(Dword(clip, avih + 8 + 32), 260u) << "width";
    EXPECT_EQ(Dword(clip, avih + 8 + 36), 40u) << "height";
    const size_t strf = clip.find("strf");
    ASSERT_NE(strf, std::string::npos);
    EXPECT_EQ(Dword(clip, strf + 8 + 16), 1u) << "BI_RLE8";
    EXPECT_EQ(clip[strf + 8 + 14], 8) << "8 bits per pixel";
    size_t frames = 0;
    for (size_t at = clip.find("00dc"); at != std::string::npos; at = clip.find("00dc", at + 4))
        ++frames;
    EXPECT_EQ(frames, 17u * 2) << "each frame once in the movie list and once in the index";
}

TEST(SetupResourcesWin32, IconGroupAndManifest) {
    EXPECT_NE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, 0),
              nullptr);
    EXPECT_NE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, 32, 32, 0),
              nullptr);
    const std::string manifest = RawResource(1, MAKEINTRESOURCEW(24));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("dpiAware"), std::string::npos);
}

// --- The folder page's checks against the machine (Wine's C: is a fixed drive). ---

struct ShownBox {
    std::string text;
    std::string caption;
    unsigned type = 0;
    int count = 0;
};
ShownBox g_shown;

int RecordBox(void*, const char* text, const char* caption, unsigned type) {
    g_shown.text = text;
    g_shown.caption = caption;
    g_shown.type = type;
    ++g_shown.count;
    return IDOK;
}

class FolderPageWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        g_shown = ShownBox();
        platform::SetOwnedMessageBoxHook(RecordBox);
    }
    void TearDown() override { platform::SetOwnedMessageBoxHook(nullptr); }
};

TEST_F(FolderPageWin32, DefaultFolderIsOnTheWindowsDrive) {
    char buffer[MAX_PATH * 2];
    ASSERT_TRUE(platform::WindowsFolder(buffer, sizeof buffer));
    const std::string windows = buffer;
    ASSERT_GE(windows.size(), 3u);
    char folder[256];
    ASSERT_TRUE(ui::DefaultInstallFolder(windows.c_str(), "演示程序", folder, sizeof folder));
    EXPECT_EQ(folder, windows.substr(0, 3) + "Program Files\\演示程序");
}

// The folder page and the unattended /D= share one verdict; it shows nothing itself.
TEST_F(FolderPageWin32, TheDestinationIsCheckedAndMade) {
    WinTempDir dir;
    char chosen[260];
    const std::wstring base = platform::Wide(dir.path().c_str()).c_str();
    EXPECT_EQ(ui::AcceptInstallFolder((base + L"新 目录").c_str(), "演示", chosen, sizeof chosen),
              nullptr);
    EXPECT_EQ(std::string(chosen), dir.File("新 目录") + "\\");
    EXPECT_TRUE(platform::IsFolder(chosen));

    auto refusal = [&](const std::wstring& typed) {
        const char* message = ui::AcceptInstallFolder(typed.c_str(), "演示", chosen, sizeof chosen);
        return std::string(message ? message : "accepted");
    };
    EXPECT_EQ(refusal(L""), "无效的驱动器");
    EXPECT_EQ(refusal(L"Q:\\Demo"), "无效的驱动器");
    EXPECT_EQ(refusal(base + L"没有这个目录\\Demo"), "无效的文件夹");
    EXPECT_EQ(refusal(base + L"\uAE40\uBBFC\uC218"), "无效的文件夹");
    PutBytes(dir.File("文件"), "a file is no folder");
    EXPECT_EQ(refusal(base + L"文件\\Demo"), "无效的文件夹");
    EXPECT_EQ(refusal(base + L"文件"), "无法在该文件夹中创建文件,请选择其他文件夹.");
    EXPECT_EQ(g_shown.count, 0);
}

// Every record holds the folder as Windows names it; names Windows would change are refused.
TEST_F(FolderPageWin32, TheDestinationIsTakenAsWindowsNamesIt) {
    WinTempDir dir;
    char chosen[260];
    const std::wstring base = platform::Wide(dir.path().c_str()).c_str();
    ASSERT_TRUE(platform::CreateFolder(dir.File("A Long Name").c_str()));
    wchar_t shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameW((base + L"A Long Name").c_str(), shortName, MAX_PATH), 0u);
    for (const std::wstring& typed :
         {base + L"A Long Name\\..\\A Long Name\\新", std::wstring(shortName) + L"\\.\\新"}) {
        EXPECT_EQ(ui::AcceptInstallFolder(typed.c_str(), "演示", chosen, sizeof chosen), nullptr);
        EXPECT_EQ(std::string(chosen), dir.File("A Long Name\\新\\"));
    }
    for (const std::wstring& typed : {std::wstring(L"C:\\."), std::wstring(L"C:\\Windows\\..")})
        EXPECT_STREQ(ui::AcceptInstallFolder(typed.c_str(), "演示", chosen, sizeof chosen),
                     "无效的驱动器");
    for (const wchar_t* typed : {L"新.", L"新 ", L"新 \\下"})
        EXPECT_STREQ(ui::AcceptInstallFolder((base + typed).c_str(), "演示", chosen, sizeof chosen),
                     "无效的文件夹");
    // Another application's uninstaller (here one that cannot even be read) keeps the folder.
    ASSERT_TRUE(PutBytes(dir.File("A Long Name\\unwise.exe"), "not an uninstaller of ours"));
    EXPECT_STREQ(
        ui::AcceptInstallFolder((base + L"A Long Name").c_str(), "演示", chosen, sizeof chosen),
        "该文件夹中已安装了其他程序(unwise.exe),请选择其他文件夹.");
}

}  // namespace
