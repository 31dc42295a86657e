#include "install/machine_system.h"

#include "install/registration.h"
#include "install/uninstaller_writer.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "resources/setup_texts.h"

namespace install {

bool MachineSystem::RegisterServer(const char* path, uint32_t crc) {
    const bool registered = install::RegisterServer(model_.appName, path, crc);
    report_.Line(registered ? "registered:" : "NOT REGISTERED:", path);
    return registered;
}

void MachineSystem::RegisterFileType(const char* extension, const char* program) {
    install::RegisterFileType(model_.appName, extension, program);
    gbk::Text<600> text;
    text.Assign(".");
    text.Append(extension);
    text.Append(" -> ");
    text.Append(program);
    report_.Line("file type:", text.c_str());
}

bool MachineSystem::WriteUninstaller(platform::ErrorCode* error) {
    const bool written = install::WriteUninstaller(model_, folders_.pageInstallDir, error);
    gbk::Text<platform::kPathRoom> path;
    path.Assign(folders_.pageInstallDir);
    path.Append(package::kUninstallerName);
    if (written)
        report_.Line("written:", path.c_str());
    else
        report_.Line("failed:", text::kUninstallerFailed, *error);
    return written;
}

void FillBaseFolders(const char* installDir, BaseFolders* folders) {
    platform::WindowsFolder(folders->windowsDir, sizeof folders->windowsDir);
    platform::SystemFolder(folders->systemDir, sizeof folders->systemDir);
    gbk::Copy(folders->pageInstallDir, sizeof folders->pageInstallDir, installDir);
}

}  // namespace install
