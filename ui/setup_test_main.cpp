// setup_test.exe: the installer stub with a switch for faults, for the end-to-end tests only
// (never shipped). Environment variables make its writes slow or fail:
//   SFX_TEST_WRITE_DELAY_MS  every write waits this long first (a slow disk)
//   SFX_TEST_FAIL_AFTER      writes fail once this many bytes were written in all (a full disk)
//   SFX_TEST_FAIL_WRITES     how many writes fail before the disk has room again (default all)
//   SFX_TEST_FAIL_ERROR      the system error they fail with (default ERROR_DISK_FULL)
//   SFX_TEST_FULL_FROM       SFX_TEST_FAIL_AFTER counts only from the creation of a file whose
//                            name begins with this (setup.log: the disk fills at the finish)
//   SFX_TEST_READ_DELAY_MS   every read waits this long first (a slow disk or share)
//   SFX_TEST_PAUSE_MS        each pause of the run lasts this long (the end state stays longer)
//   SFX_TEST_DENY_FOLDER     no file can be created in this folder (ERROR_ACCESS_DENIED), as in
//                            a folder without write permission, which Wine run as root ignores
//   SFX_TEST_DENY_CREATES    how many creations there fail before the permission is granted
//                            (default all)
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/system_library.h"
#include "platform/test_hooks.h"
#include "platform/text_win32.h"
#include "ui/setup_app.h"
#include "ui/step4.h"

namespace {
[[gnu::constructor(101)]] void RestrictDllSearchEarly() { platform::HardenDllSearch(); }

unsigned long g_delay = 0;
long long g_failAfter = -1;
long g_failWrites = -1;
platform::ErrorCode g_error = ERROR_DISK_FULL;
long long g_written = 0;

unsigned long long Setting(const wchar_t* name, unsigned long long otherwise) {
    wchar_t value[32];
    DWORD length = GetEnvironmentVariableW(name, value, 32);
    if (length == 0 || length >= 32) return otherwise;
    return wcstoull(value, nullptr, 0);
}

// Writes before the named file was created pass without counting.
char g_fullFrom[MAX_PATH * 2] = "";
bool g_counting = true;

// A text setting in GBK; false (and empty) when it is not set or does not fit.
bool Text(const wchar_t* name, char* value, size_t room) {
    wchar_t wide[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, wide, MAX_PATH);
    value[0] = '\0';
    return length > 0 && length < MAX_PATH && platform::Narrow(wide, value, room);
}

bool FaultyWrite(size_t count, platform::ErrorCode* error) {
    if (g_delay) Sleep(g_delay);
    if (g_failAfter >= 0 && g_counting && g_written + static_cast<long long>(count) > g_failAfter &&
        g_failWrites != 0) {
        if (g_failWrites > 0) --g_failWrites;
        *error = g_error;
        return false;
    }
    g_written += static_cast<long long>(count);
    return true;
}

unsigned long g_readDelay = 0;
void SlowRead(size_t) { Sleep(g_readDelay); }

char g_deniedFolder[MAX_PATH * 2] = "";
long g_denials = -1;

bool FaultyCreate(const char* path, platform::ErrorCode* error) {
    if (g_fullFrom[0]) {
        const size_t slash = gbk::LastBackslash(path);
        const char* name = slash == gbk::kNotFound ? path : path + slash + 1;
        if (std::strncmp(name, g_fullFrom, std::strlen(g_fullFrom)) == 0) g_counting = true;
    }
    if (!g_deniedFolder[0]) return true;
    // Only files directly in the folder: its parent and its subfolders stay writable.
    const size_t length = std::strlen(g_deniedFolder);
    const char* name = path + length;
    if (g_denials == 0 || std::strncmp(path, g_deniedFolder, length) != 0 || *name != '\\' ||
        gbk::FirstBackslash(name + 1) != gbk::kNotFound)
        return true;
    if (g_denials > 0) --g_denials;
    *error = ERROR_ACCESS_DENIED;
    return false;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::HardenDllSearch();
    g_delay = static_cast<unsigned long>(Setting(L"SFX_TEST_WRITE_DELAY_MS", 0));
    g_failAfter = static_cast<long long>(Setting(L"SFX_TEST_FAIL_AFTER", ~0ull));
    g_failWrites = static_cast<long>(Setting(L"SFX_TEST_FAIL_WRITES", ~0ull));
    g_error = static_cast<platform::ErrorCode>(Setting(L"SFX_TEST_FAIL_ERROR", ERROR_DISK_FULL));
    if (g_delay || g_failAfter >= 0) platform::SetWriteHook(FaultyWrite);
    g_readDelay = static_cast<unsigned long>(Setting(L"SFX_TEST_READ_DELAY_MS", 0));
    if (g_readDelay) platform::SetReadHook(SlowRead);
    if (Text(L"SFX_TEST_DENY_FOLDER", g_deniedFolder, sizeof g_deniedFolder))
        g_denials = static_cast<long>(Setting(L"SFX_TEST_DENY_CREATES", ~0ull));
    g_counting = !Text(L"SFX_TEST_FULL_FROM", g_fullFrom, sizeof g_fullFrom);
    if (g_deniedFolder[0] || g_fullFrom[0]) platform::SetCreateHook(FaultyCreate);
    platform::SetPauseForTests(static_cast<uint32_t>(Setting(L"SFX_TEST_PAUSE_MS", 0)));
    return ui::App().InitInstance();
}
