// e2e_write_unwise.exe PACKAGE FOLDER: what the installation run does once its files are in
// place. Loads the package's settings with the installer's own loader and writes
// FOLDER\unwise.exe with the installer's own writer, from the same archive setup.exe carries.
// Exit status 0 written, 1 the package cannot be loaded, 2 the writer failed.
#include <windows.h>

#include <cstdio>

#include "install/uninstaller_writer.h"
#include "package/settings_loader.h"
#include "platform/file.h"
#include "platform/text_win32.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    static package::SetupModel model;
    wchar_t temp[platform::kPathRoom];
    wchar_t folder[platform::kPathRoom];
    char installDir[platform::kPathRoom];
    if (!GetFullPathNameW(argv[1], platform::kPathRoom, model.exePath, nullptr) ||
        !GetFullPathNameW(argv[2], platform::kPathRoom, folder, nullptr) ||
        !platform::Narrow(folder, installDir, sizeof installDir) ||
        !platform::TempFolder(temp, platform::kPathRoom) ||
        package::LoadSettings(model.exePath, temp, &model) != package::LoadResult::Loaded) {
        std::fprintf(stderr, "write_unwise: cannot load the package\n");
        return 1;
    }
    platform::ErrorCode error = 0;
    if (!install::WriteUninstaller(model, installDir, &error)) {
        std::fprintf(stderr, "write_unwise: failed with error %lu\n", error);
        return 2;
    }
    return 0;
}
