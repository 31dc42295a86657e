#include "ui/machine_system.h"

#include "install/registration.h"
#include "install/run_texts.h"
#include "install/uninstaller_writer.h"
#include "platform/gbk.h"
#include "ui/setup_app.h"

namespace ui {

bool MachineSystem::RegisterServer(const char* path) {
    const bool registered = install::RegisterServer(path);
    App().report.Line(registered ? "registered:" : "NOT REGISTERED:", path);
    return registered;
}

void MachineSystem::RegisterFileType(const char* extension, const char* program) {
    install::RegisterFileType(extension, program);
    gbk::Text<600> text;
    text.Assign(".");
    text.Append(extension);
    text.Append(" -> ");
    text.Append(program);
    App().report.Line("file type:", text.c_str());
}

bool MachineSystem::WriteUninstaller(platform::ErrorCode* error) {
    const bool written = install::WriteUninstaller(App().model, folders_.pageInstallDir, error);
    gbk::Text<platform::kPathRoom> path;
    path.Assign(folders_.pageInstallDir);
    path.Append(package::kUninstallerName);
    if (written)
        App().report.Line("written:", path.c_str());
    else
        App().report.Line("failed:", install::text::kUninstallerFailed, *error);
    return written;
}

}  // namespace ui
