// Self-registration of the test controls (tests/win32/controls). The program restricts its DLL
// search and starts OLE before any test, as the installer does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "install/registration.h"
#include "platform/system_library.h"
#include "tests/win32/win32_test_util.h"

namespace {

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
    EXPECT_TRUE(CopyFileW((ProgramFolder() + L"controls\\" + W(name)).c_str(),
                          W(target).c_str(), FALSE))
        << name;
    return target;
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
        EXPECT_TRUE(install::RegisterServer(control.c_str())) << name;
        EXPECT_TRUE(RegistrationRan(control)) << name;
        EXPECT_FALSE(StillLoaded(control)) << name;
    }
}

TEST(RegisterServerWin32, FailureCodeCountsAsFailed) {
    WinTempDir dir;
    const std::string control = Place("control_fail.ocx", dir.path());
    EXPECT_FALSE(install::RegisterServer(control.c_str()));
    EXPECT_TRUE(RegistrationRan(control));
    EXPECT_FALSE(StillLoaded(control));
}

TEST(RegisterServerWin32, ControlWithoutTheExportCountsAsRegistered) {
    WinTempDir dir;
    const std::string control = Place("control_plain.ocx", dir.path());
    EXPECT_TRUE(install::RegisterServer(control.c_str()));
    EXPECT_FALSE(StillLoaded(control));
}

TEST(RegisterServerWin32, MissingFileFails) {
    WinTempDir dir;
    EXPECT_FALSE(install::RegisterServer(dir.File("control_ok.ocx").c_str()));
    EXPECT_FALSE(install::RegisterServer(dir.File("").c_str()));
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

    EXPECT_TRUE(install::RegisterServer(control.c_str()));
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
    EXPECT_FALSE(install::RegisterServer(control.c_str()));
    EXPECT_FALSE(RegistrationRan(control));
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
