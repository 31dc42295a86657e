// Self-registration of the test controls (tests/win32/controls) and file-type associations,
// read back from HKEY_CLASSES_ROOT. The program restricts its DLL search and starts OLE before
// any test, as the installer does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/kept_values.h"
#include "install/registration.h"
#include "package/crc32.h"
#include "platform/system_library.h"
#include "tests/win32/win32_test_util.h"

namespace {

constexpr const char kApp[] = "RegistrationTest";

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.rfind(L'\\') + 1);
}

// Copies the test DLL `name` from the build's controls folder into `folder` (GBK, ending with
// its backslash) and returns its GBK path there.
std::string Place(const char* name, const std::string& folder) {
    const std::string target = folder + name;
    EXPECT_TRUE(
        CopyFileW((ProgramFolder() + L"controls\\" + W(name)).c_str(), W(target).c_str(), FALSE))
        << name;
    return target;
}

// Registers the control as the run does, with the CRC-32 of the bytes it holds now.
bool Register(const std::string& control) {
    const std::string bytes = GetBytes(control);
    return install::RegisterServer(kApp, control.c_str(), package::Crc32(0, bytes.data(), bytes.size()));
}

bool RegistrationRan(const std::string& control) {
    return platform::PathExists((control + ".ran").c_str());
}

bool StillLoaded(const std::string& control) {
    return GetModuleHandleW(W(control).c_str()) != nullptr;
}

TEST(RegisterServerWin32, SuccessCodesCountAsRegistered) {
    WinTempDir dir;
    for (const char* name : {"control_ok.ocx", "control_false.ocx"}) {
        const std::string control = Place(name, dir.path());
        EXPECT_TRUE(Register(control)) << name;
        EXPECT_TRUE(RegistrationRan(control)) << name;
        EXPECT_FALSE(StillLoaded(control)) << name;
    }
}

// The sum the uninstaller checks before it loads a control again.
TEST(RegisterServerWin32, TheRegisteredControlsSha256IsKept) {
    WinTempDir dir;
    const std::string control = Place("control_ok.ocx", dir.path());
    ASSERT_TRUE(Register(control));
    unsigned char kept[install::kSha256Size];
    EXPECT_TRUE(install::KeptControlSum(kApp, control.c_str(), kept));

    // FIPS 180-2's "abc".
    ASSERT_TRUE(PutBytes(dir.File("abc"), "abc"));
    platform::RawFile file;
    ASSERT_TRUE(file.OpenRead(dir.File("abc").c_str()));
    unsigned char sum[install::kSha256Size];
    ASSERT_TRUE(install::Sha256OfFile(file, sum));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(sum), 4), "\xBA\x78\x16\xBF");
    EXPECT_EQ(sum[31], 0xAD);
}

TEST(RegisterServerWin32, FailureCodeCountsAsFailed) {
    WinTempDir dir;
    const std::string control = Place("control_fail.ocx", dir.path());
    EXPECT_FALSE(Register(control));
    EXPECT_TRUE(RegistrationRan(control));
    EXPECT_FALSE(StillLoaded(control));
}

TEST(RegisterServerWin32, ControlWithoutTheExportCountsAsRegistered) {
    WinTempDir dir;
    const std::string control = Place("control_plain.ocx", dir.path());
    EXPECT_TRUE(Register(control));
    EXPECT_FALSE(StillLoaded(control));
}

// A file that no longer holds what the run wrote (another program changed it in between) is
// never loaded.
TEST(RegisterServerWin32, AControlChangedSinceItWasWrittenIsNotLoaded) {
    WinTempDir dir;
    const std::string control = Place("control_ok.ocx", dir.path());
    const std::string bytes = GetBytes(control);
    const uint32_t written = package::Crc32(0, bytes.data(), bytes.size() - 1);
    EXPECT_FALSE(install::RegisterServer(kApp, control.c_str(), written));
    EXPECT_FALSE(RegistrationRan(control));
    EXPECT_FALSE(StillLoaded(control));
}

TEST(RegisterServerWin32, MissingFileFails) {
    WinTempDir dir;
    EXPECT_FALSE(Register(dir.File("control_ok.ocx")));
    EXPECT_FALSE(Register(dir.File("")));
}

// The helper DLL lies beside the control, in a folder whose name has a character with the
// trail byte of "\" (淺, 0x9C 0x5C).
TEST(RegisterServerWin32, ControlFindsTheDllBesideIt) {
    ASSERT_TRUE(platform::DllSearchRestricted());
    WinTempDir dir;
    const std::string folder = dir.File("中文控件淺\\");
    ASSERT_TRUE(platform::CreateFolder(folder.c_str()));
    const std::string control = Place("control_dependent.ocx", folder);
    Place("reghelper.dll", folder);

    // The restricted search alone does not look beside the control.
    HMODULE plain = LoadLibraryW(W(control).c_str());
    EXPECT_EQ(plain, nullptr);
    if (plain) FreeLibrary(plain);

    EXPECT_TRUE(Register(control));
    EXPECT_TRUE(RegistrationRan(control));
    EXPECT_FALSE(StillLoaded(control));
    EXPECT_EQ(GetModuleHandleW(L"reghelper.dll"), nullptr);
}

// A copy of reghelper.dll lies beside this program, as a DLL planted in the download folder
// beside setup.exe would: a control must not get it.
TEST(RegisterServerWin32, DllInTheProgramFolderIsNotTaken) {
    ASSERT_NE(GetFileAttributesW((ProgramFolder() + L"reghelper.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    WinTempDir dir;
    const std::string control = Place("control_dependent.ocx", dir.path());
    EXPECT_FALSE(Register(control));
    EXPECT_FALSE(RegistrationRan(control));
}

// ---------------------------------------------------------------------------------------------

bool KeyExists(const std::wstring& name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetValue(const std::wstring& keyName, const wchar_t* name, const std::wstring& data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The key `name` below HKEY_CLASSES_ROOT and every key below it, one line a key followed by its
// values sorted by name ("@" is the default value), e.g.
//   abcfile\DefaultIcon
//     @ = D:\viewer.exe,0
// A value other than REG_SZ shows its type instead of its data.
void DumpKey(const std::wstring& name, std::wstring& out) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        out += name + L" <missing>\n";
        return;
    }
    out += name + L"\n";
    std::vector<std::wstring> values;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 256, type = 0, bytes = 0;
        if (RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS)
            break;
        std::wstring line = L"  " + (nameLength ? std::wstring(valueName) : L"@");
        if (type == REG_SZ) {
            std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            RegQueryValueExW(key, nameLength ? valueName : nullptr, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&data[0]), &size);
            line += L" = " + std::wstring(data.c_str());
        } else {
            line += L" <type " + std::to_wstring(type) + L">";
        }
        values.push_back(line + L"\n");
    }
    std::sort(values.begin(), values.end());
    for (const std::wstring& line : values) out += line;
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.push_back(subkey);
    }
    RegCloseKey(key);
    std::sort(subkeys.begin(), subkeys.end());
    for (const std::wstring& subkey : subkeys) DumpKey(name + L"\\" + subkey, out);
}

std::wstring Dump(const std::wstring& name) {
    std::wstring out;
    DumpKey(name, out);
    return out;
}

// Each test uses extensions and classes of its own and removes them afterwards.
class FileTypeWin32 : public ::testing::Test {
protected:
    void RemoveAfterwards(const std::wstring& key) { created_.push_back(key); }
    void TearDown() override {
        for (const std::wstring& key : created_) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }

private:
    std::vector<std::wstring> created_;
};

TEST_F(FileTypeWin32, WritesTheSixKeysAndThreeDefaultValues) {
    RemoveAfterwards(L".abc");
    RemoveAfterwards(L"abcfile");
    ASSERT_FALSE(KeyExists(L".abc"));
    ASSERT_FALSE(KeyExists(L"abcfile"));

    install::RegisterFileType(kApp, "abc", "D:\\Tools\\Editor\\viewer.exe");

    EXPECT_EQ(Dump(L".abc") + Dump(L"abcfile"),
              L".abc\n"
              L"  @ = abcfile\n"
              L"abcfile\n"
              L"abcfile\\DefaultIcon\n"
              L"  @ = D:\\Tools\\Editor\\viewer.exe,0\n"
              L"abcfile\\shell\n"
              L"abcfile\\shell\\open\n"
              L"abcfile\\shell\\open\\command\n"
              L"  @ = \"D:\\Tools\\Editor\\viewer.exe\" \"%1\"\n");
}

TEST_F(FileTypeWin32, ChineseProgramPathIsStoredAsItsCharacters) {
    RemoveAfterwards(L".zhq");
    RemoveAfterwards(L"zhqfile");
    install::RegisterFileType(kApp, "zhq", "C:\\程序\\淺水\\查看器.exe");
    EXPECT_EQ(Dump(L"zhqfile\\DefaultIcon") + Dump(L"zhqfile\\shell\\open\\command"),
              L"zhqfile\\DefaultIcon\n"
              L"  @ = C:\\程序\\淺水\\查看器.exe,0\n"
              L"zhqfile\\shell\\open\\command\n"
              L"  @ = \"C:\\程序\\淺水\\查看器.exe\" \"%1\"\n");
}

TEST_F(FileTypeWin32, ExtensionOfAnotherClassIsTakenOverAndTheOldClassStays) {
    RemoveAfterwards(L".xyq");
    RemoveAfterwards(L"xyqfile");
    RemoveAfterwards(L"Old.Document");
    SetValue(L".xyq", nullptr, L"Old.Document");
    SetValue(L".xyq", L"Content Type", L"text/x-xyq");
    SetValue(L"Old.Document", nullptr, L"旧文档");
    SetValue(L"Old.Document\\shell\\open\\command", nullptr, L"C:\\old.exe \"%1\"");
    const std::wstring oldClass = Dump(L"Old.Document");

    install::RegisterFileType(kApp, "xyq", "C:\\new.exe");

    EXPECT_EQ(Dump(L".xyq"),
              L".xyq\n"
              L"  @ = xyqfile\n"
              L"  Content Type = text/x-xyq\n");
    EXPECT_EQ(Dump(L"Old.Document"), oldClass);
    EXPECT_EQ(Dump(L"xyqfile\\shell\\open\\command"),
              L"xyqfile\\shell\\open\\command\n"
              L"  @ = \"C:\\new.exe\" \"%1\"\n");
}

TEST_F(FileTypeWin32, ExistingClassKeepsWhatIsNotItsIconOrOpenCommand) {
    RemoveAfterwards(L".xyr");
    RemoveAfterwards(L"xyrfile");
    SetValue(L"xyrfile", nullptr, L"XYR 文档");
    SetValue(L"xyrfile\\DefaultIcon", nullptr, L"C:\\old.exe,3");
    SetValue(L"xyrfile\\shell\\open\\command", nullptr, L"C:\\old.exe %1");
    SetValue(L"xyrfile\\shell\\open\\command", L"Note", L"kept");
    SetValue(L"xyrfile\\shell\\print\\command", nullptr, L"C:\\old.exe /p %1");

    install::RegisterFileType(kApp, "xyr", "C:\\new.exe");

    EXPECT_EQ(Dump(L"xyrfile"),
              L"xyrfile\n"
              L"  @ = XYR 文档\n"
              L"xyrfile\\DefaultIcon\n"
              L"  @ = C:\\new.exe,0\n"
              L"xyrfile\\shell\n"
              L"xyrfile\\shell\\open\n"
              L"xyrfile\\shell\\open\\command\n"
              L"  @ = \"C:\\new.exe\" \"%1\"\n"
              L"  Note = kept\n"
              L"xyrfile\\shell\\print\n"
              L"xyrfile\\shell\\print\\command\n"
              L"  @ = C:\\old.exe /p %1\n");
}

// What the run replaced is kept once, from before the first installation: an update finds its
// own values there and keeps nothing more. A value that was not there is not kept.
TEST_F(FileTypeWin32, TheMachinesOwnValuesAreKeptOnceAndPutBack) {
    RemoveAfterwards(L".xys");
    RemoveAfterwards(L"xysfile");
    SetValue(L".xys", nullptr, L"Old.Document");
    SetValue(L"xysfile\\shell\\open\\command", nullptr, L"C:\\old.exe %1");
    install::RegisterFileType(kApp, "xys", "C:\\new.exe");
    install::RegisterFileType(kApp, "xys", "C:\\newer.exe");
    platform::ErrorCode error = 0;
    EXPECT_EQ(install::RestoreReplacedValue(kApp, ".xys", &error), install::Restored::Restored);
    EXPECT_EQ(install::RestoreReplacedValue(kApp, "xysfile\\shell\\open\\command", &error),
              install::Restored::Restored);
    EXPECT_EQ(install::RestoreReplacedValue(kApp, "xysfile\\DefaultIcon", &error),
              install::Restored::NothingKept);
    EXPECT_EQ(Dump(L".xys") + Dump(L"xysfile\\shell\\open\\command"),
              L".xys\n"
              L"  @ = Old.Document\n"
              L"xysfile\\shell\\open\\command\n"
              L"  @ = C:\\old.exe %1\n");
    EXPECT_TRUE(install::RemoveKeptValues(kApp, &error));
    EXPECT_EQ(install::RestoreReplacedValue(kApp, ".xys", &error), install::Restored::NothingKept);
}

// A value is built in 256 bytes. A program of 253 bytes (125 double-byte characters, so far
// fewer than 253 characters) leaves room for ",0" exactly but not for the quoted command: the
// command is left out, not cut to a path that names another file. One of 248 bytes fills it.
TEST_F(FileTypeWin32, ValueThatDoesNotFitItsBufferIsNotWritten) {
    RemoveAfterwards(L".lng");
    RemoveAfterwards(L"lngfile");
    std::string program = "C:\\";
    std::wstring wideProgram = L"C:\\";
    for (int i = 0; i < 125; ++i) {
        program += "程";
        wideProgram += L"程";
    }
    ASSERT_EQ(program.size(), 253u);

    install::RegisterFileType(kApp, "lng", program.c_str());

    const std::wstring expected =
        L"lngfile\n"
        L"lngfile\\DefaultIcon\n"
        L"  @ = " +
        wideProgram +
        L",0\n"
        L"lngfile\\shell\n"
        L"lngfile\\shell\\open\n"
        L"lngfile\\shell\\open\\command\n";
    EXPECT_EQ(Dump(L"lngfile"), expected);

    const std::string fits = program.substr(0, 247) + "a";
    install::RegisterFileType(kApp, "lng", fits.c_str());
    EXPECT_EQ(Dump(L"lngfile\\shell\\open\\command"),
              L"lngfile\\shell\\open\\command\n  @ = \"" + W(fits) + L"\" \"%1\"\n");
}

TEST_F(FileTypeWin32, EmptyExtensionWritesNothing) {
    // The system has a class "file" of its own, which an empty extension would name.
    RemoveAfterwards(L".");
    const std::wstring fileClass = Dump(L"file");
    install::RegisterFileType(kApp, "", "C:\\new.exe");
    EXPECT_FALSE(KeyExists(L"."));
    EXPECT_EQ(Dump(L"file"), fileClass);
}

}  // namespace

int main(int argc, char** argv) {
    // As in the installer: the DLL search is restricted first, and OLE runs on the thread.
    platform::HardenDllSearch();
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
