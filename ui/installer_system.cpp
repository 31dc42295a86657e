// The progress page's view of the machine beyond files: controls, file types, the uninstaller.
#include "ui/step4.h"

namespace ui {

bool CStep4::RegisterServer(const char*) { return true; }

void CStep4::RegisterFileType(const char*, const char*) {}

bool CStep4::WriteUninstaller(platform::ErrorCode*) { return true; }

}  // namespace ui
