// The progress page's view of the machine beyond files: controls, file types, the uninstaller.
#include "install/registration.h"
#include "ui/step4.h"

namespace ui {

bool CStep4::RegisterServer(const char* path) { return install::RegisterServer(path); }

void CStep4::RegisterFileType(const char* extension, const char* program) {
    install::RegisterFileType(extension, program);
}

bool CStep4::WriteUninstaller(platform::ErrorCode*) { return true; }

}  // namespace ui
