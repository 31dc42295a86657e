// The uninstaller the installer writes, read back with a reader of the test's own: the trailer
// parsed, the block unscrambled and split by hand, never by the package code that wrote them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "install/uninstaller_writer.h"
#include "package/setup_model.h"
#include "platform/test_hooks.h"
#include "win32_test_util.h"

namespace {
std::string Resource(int id, const wchar_t* type) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!found) return std::string();
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return std::string(bytes, SizeofResource(nullptr, found));
}

// The build's unwise.exe as it was linked, and the archive setup.exe carries it in.
const std::string& Program() {
    static const std::string program = Resource(2, L"PROGRAM");
    return program;
}
std::string Archive() { return Resource(138, L"EXE"); }

struct Unwise {
    std::string error;  // empty when the file reads as an uninstaller
    long length = 0, seek = 0;
    std::vector<std::string> items;
    std::string separators;  // '7' for 0x07, 'R' for 0x08 0x0D 0x0A, after each item
};

// Reads unwise.exe as the uninstaller will: the trailer is the last "&" to the end of the file,
// exactly "&LEN:<L>,SEEK:<S>."; the L bytes at S end where it begins; each byte of the block
// unscrambles as -(byte) XOR K, K the XOR of the bytes of "wirl.dat".
Unwise ReadBack(const std::string& file) {
    Unwise u;
    const size_t amp = file.rfind('&');
    if (amp == std::string::npos) return u.error = "no trailer", u;
    const std::string trailer = file.substr(amp);
    int used = 0;
    if (std::sscanf(trailer.c_str(), "&LEN:%ld,SEEK:%ld.%n", &u.length, &u.seek, &used) != 2 ||
        static_cast<size_t>(used) != trailer.size())
        return u.error = "trailer \"" + trailer + "\"", u;
    if (static_cast<size_t>(u.seek + u.length) != amp)
        return u.error = "the block does not end where the trailer begins", u;
    std::string block = file.substr(static_cast<size_t>(u.seek), static_cast<size_t>(u.length));
    const unsigned char k = 'w' ^ 'i' ^ 'r' ^ 'l' ^ '.' ^ 'd' ^ 'a' ^ 't';
    for (char& c : block) c = static_cast<char>(static_cast<unsigned char>(-c) ^ k);
    std::string item;
    for (size_t i = 0; i < block.size(); ++i) {
        if (block[i] == '\x07') {
            u.items.push_back(item), item.clear(), u.separators += '7';
        } else if (block.compare(i, 3, "\x08\x0D\x0A") == 0) {
            u.items.push_back(item), item.clear(), u.separators += 'R', i += 2;
        } else {
            item += block[i];
        }
    }
    if (!item.empty()) u.error = "bytes after the last separator: " + item;
    return u;
}

class UninstallerWriterWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(Program().size(), 1024u);
        installDir = dir.File("安装目录\\");
        ASSERT_TRUE(platform::CreateFolder(installDir.c_str()));
        model = std::make_unique<package::SetupModel>();
        std::strcpy(model->appName, "演示程序");
        std::strcpy(model->uninstallTexts[0], "演示程序");
        std::strcpy(model->uninstallTexts[2], "确实要卸载演示程序吗?");
        std::strcpy(model->uninstallTexts[3], "演示程序已卸载.");
        // The installer: an image, then the pieces at offsets of their own.
        installer = "MZ" + std::string(5000, 'x');
        picture.clear();
        for (int i = 0; i < 40000; ++i) picture += static_cast<char>(i * 7 + i / 256);
        icon = std::string("\0\0\1\0", 4) + std::string(762, 'I');
        pictureAt = static_cast<int32_t>(installer.size());
        installer += picture + std::string(100, 'y');
        iconAt = static_cast<int32_t>(installer.size());
        installer += icon + "&LEN:1,SEEK:0.";
        const std::string exe = dir.File("安装程序.exe");
        ASSERT_TRUE(PutBytes(exe, installer));
        lstrcpynW(model->exePath, W(exe).c_str(), platform::kPathRoom);
    }

    std::string Target() const { return installDir + "unwise.exe"; }
    // What the install folder holds: the uninstaller at most, never a temporary file.
    std::vector<std::wstring> Entries() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((W(installDir) + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do
            if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
    const std::vector<std::wstring> kJustTheUninstaller{L"unwise.exe"};

    WinTempDir dir;
    std::string installDir;
    std::unique_ptr<package::SetupModel> model;
    std::string installer, picture, icon;
    int32_t pictureAt = 0, iconAt = 0;
    platform::ErrorCode error = 0;
};
}  // namespace

TEST_F(UninstallerWriterWin32, WithoutPictureAndIconTheBlockFollowsTheProgram) {
    ASSERT_TRUE(install::WriteUninstaller(*model, installDir.c_str(), &error)) << error;
    const std::string file = GetBytes(Target());
    const long p = static_cast<long>(Program().size());
    ASSERT_EQ(file.compare(0, 2, "MZ"), 0);
    EXPECT_EQ(file.compare(0, Program().size(), Program()), 0) << "the program is not whole";

    const Unwise u = ReadBack(file);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(u.seek, p);
    const std::string ps = std::to_string(p);
    EXPECT_EQ(u.items, (std::vector<std::string>{"演示程序", "0", ps, "0", ps, "演示程序", "",
                                                 "确实要卸载演示程序吗?", "演示程序已卸载."}));
    EXPECT_EQ(u.separators, "7777777R7");
    EXPECT_EQ(Entries(), kJustTheUninstaller);
}

TEST_F(UninstallerWriterWin32, PictureAndIconLieBetweenTheProgramAndTheBlock) {
    model->pictureLength = 40000;
    model->pictureOffset = pictureAt;
    model->iconLength = 766;
    model->iconOffset = iconAt;
    ASSERT_TRUE(install::WriteUninstaller(*model, installDir.c_str(), &error)) << error;
    const std::string file = GetBytes(Target());
    const size_t p = Program().size();
    EXPECT_EQ(file.compare(0, p, Program()), 0);
    EXPECT_EQ(file.substr(p, 40000), picture);
    EXPECT_EQ(file.substr(p + 40000, 766), icon);

    const Unwise u = ReadBack(file);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(u.seek, static_cast<long>(p + 40766));
    ASSERT_EQ(u.items.size(), 9u);
    EXPECT_EQ(u.items[1], "40000");
    EXPECT_EQ(u.items[2], std::to_string(p));
    EXPECT_EQ(u.items[3], "766");
    EXPECT_EQ(u.items[4], std::to_string(p + 40000));
}

TEST_F(UninstallerWriterWin32, APieceOutsideTheInstallerIsLeftOut) {
    model->pictureLength = 40000;
    model->pictureOffset = static_cast<int32_t>(installer.size()) - 39999;  // one byte too few
    model->iconLength = 766;
    model->iconOffset = iconAt;
    ASSERT_TRUE(install::WriteUninstaller(*model, installDir.c_str(), &error)) << error;
    const std::string file = GetBytes(Target());
    const size_t p = Program().size();
    EXPECT_EQ(file.substr(p, 766), icon);
    const Unwise u = ReadBack(file);
    ASSERT_EQ(u.error, "");
    ASSERT_EQ(u.items.size(), 9u);
    EXPECT_EQ(u.items[1], "0");
    EXPECT_EQ(u.items[2], std::to_string(p));
    EXPECT_EQ(u.items[4], std::to_string(p));
    EXPECT_EQ(u.seek, static_cast<long>(p + 766));
}

TEST_F(UninstallerWriterWin32, ReplacesAnEarlierUninstallerWhole) {
    // Longer than the new one: nothing of it may remain behind the new trailer.
    ASSERT_TRUE(PutBytes(Target(), std::string(Program().size() + 100000, 'o')));
    // A folder given without its final backslash gets one.
    std::string folder = installDir;
    folder.pop_back();
    ASSERT_TRUE(install::WriteUninstaller(*model, folder.c_str(), &error)) << error;
    const std::string file = GetBytes(Target());
    const Unwise u = ReadBack(file);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(file.compare(0, Program().size(), Program()), 0);
    EXPECT_EQ(u.seek, static_cast<long>(Program().size()));
    EXPECT_EQ(Entries(), kJustTheUninstaller);
}

TEST_F(UninstallerWriterWin32, AHeldOpenUninstallerStaysAsItWas) {
    const std::string old = "the uninstaller of an earlier installation";
    ASSERT_TRUE(PutBytes(Target(), old));
    HANDLE held = CreateFileW(W(Target()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(install::WriteUninstaller(*model, installDir.c_str(), &error));
    EXPECT_NE(error, 0u);
    CloseHandle(held);
    EXPECT_EQ(GetBytes(Target()), old);
    EXPECT_EQ(Entries(), kJustTheUninstaller);
}

namespace {
// A disk that fills up after `g_room` more bytes.
size_t g_room = 0;
bool FillingDisk(size_t count, platform::ErrorCode* error) {
    if (count <= g_room) {
        g_room -= count;
        return true;
    }
    *error = ERROR_DISK_FULL;
    return false;
}
}  // namespace

TEST_F(UninstallerWriterWin32, AFullDiskLeavesTheEarlierUninstallerWhole) {
    model->pictureLength = 40000;
    model->pictureOffset = pictureAt;
    model->iconLength = 766;
    model->iconOffset = iconAt;
    const std::string old = "the uninstaller of an earlier installation";
    ASSERT_TRUE(PutBytes(Target(), old));
    const size_t program = Program().size();
    // Full in the program, in the picture, in the icon and in the block.
    for (size_t room : {size_t{1000}, program + 100, program + 40100, program + 40800}) {
        g_room = room;
        error = 0;
        platform::SetWriteHook(FillingDisk);
        const bool written = install::WriteUninstaller(*model, installDir.c_str(), &error);
        platform::SetWriteHook(nullptr);
        EXPECT_FALSE(written) << "room for " << room << " bytes";
        EXPECT_EQ(error, static_cast<platform::ErrorCode>(ERROR_DISK_FULL));
        EXPECT_EQ(GetBytes(Target()), old);
        EXPECT_EQ(Entries(), kJustTheUninstaller);
    }
}

TEST_F(UninstallerWriterWin32, ADamagedOrMissingArchiveWritesNothing) {
    const std::string archive = Archive();
    ASSERT_EQ(archive.compare(0, 4, "TAVQ"), 0);
    const auto bytes = [](const std::string& s) {
        return reinterpret_cast<const unsigned char*>(s.data());
    };
    std::string notTavq = archive;
    notTavq[0] = 'X';
    const std::string cut = archive.substr(0, archive.size() / 2);
    // The archive of an empty file: a valid archive, but no program.
    const std::string empty =
        archive.substr(0, 12 + 6) + std::string("\xFF\0\xCC\xCC", 4) + std::string(16, '\0');

    ASSERT_TRUE(PutBytes(Target(), "earlier"));
    for (const std::string& bad : {notTavq, cut, empty}) {
        error = 0;
        EXPECT_FALSE(install::WriteUninstallerFrom(bytes(bad), bad.size(), *model,
                                                   installDir.c_str(), &error));
        EXPECT_NE(error, 0u);
    }
    EXPECT_FALSE(install::WriteUninstallerFrom(nullptr, 0, *model, installDir.c_str(), &error));
    EXPECT_EQ(GetBytes(Target()), "earlier");
    EXPECT_EQ(Entries(), kJustTheUninstaller);

    // And where there was none, there is none.
    ASSERT_TRUE(platform::RemoveFile(Target().c_str()));
    EXPECT_FALSE(
        install::WriteUninstallerFrom(bytes(cut), cut.size(), *model, installDir.c_str(), &error));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(UninstallerWriterWin32, AMissingFolderIsAFailureWithItsReason) {
    EXPECT_FALSE(install::WriteUninstaller(*model, dir.File("不存在\\").c_str(), &error));
    EXPECT_EQ(error, static_cast<platform::ErrorCode>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(platform::PathExists(dir.File("不存在").c_str()));
}

namespace {
// The DLLs a program imports the ordinary way, read from its import table.
std::set<std::string> ImportedDlls(const std::string& image) {
    std::set<std::string> names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    const auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress &&
                rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = offsetOf(imports); at; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + at);
        if (!entry->Name) break;
        std::string name = image.c_str() + offsetOf(entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        names.insert(name);
    }
    return names;
}
}  // namespace

// unwise.exe runs from the install folder, beside whatever the application installed: a DLL
// there named like a system one must never be loaded before the program restricts the search.
TEST(UnwiseProgramWin32, ImportsOnlyKernel32AndTheRuntime) {
    ASSERT_EQ(Program().compare(0, 2, "MZ"), 0);
    EXPECT_EQ(ImportedDlls(Program()), (std::set<std::string>{"kernel32.dll", "msvcrt.dll"}));
}

TEST(UnwiseProgramWin32, IsAWindowsProgramAskingForAdministratorRights) {
    WinTempDir dir;
    const std::string path = dir.File("unwise.exe");
    ASSERT_TRUE(PutBytes(path, Program()));
    HMODULE module = LoadLibraryExW(W(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos) << text;
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(100), MAKEINTRESOURCEW(5)), nullptr)
        << "no window template";
    FreeLibrary(module);

    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Program().data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(Program().data() + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI)
        << "it would open a console";
}
