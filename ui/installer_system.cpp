// The progress page's view of the machine beyond files: controls, file types, the uninstaller.
#include "ui/step4.h"

#include "install/registration.h"
#include "install/uninstaller_writer.h"
#include "ui/setup_app.h"

namespace ui {

bool CStep4::RegisterServer(const char* path) { return install::RegisterServer(path); }

void CStep4::RegisterFileType(const char* extension, const char* program) {
    install::RegisterFileType(extension, program);
}

bool CStep4::WriteUninstaller(platform::ErrorCode* error) {
    return install::WriteUninstaller(App().model, folders.pageInstallDir, error);
}

}  // namespace ui
