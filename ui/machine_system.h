// The machine beyond files for an installation run, with or without the wizard: controls, file
// types and the uninstaller, each told to the run's report.
#pragma once

#include "install/installation_run.h"
#include "install/path_rules.h"

namespace ui {

class MachineSystem : public install::RunSystem {
public:
    explicit MachineSystem(const install::BaseFolders& folders) : folders_(folders) {}
    bool RegisterServer(const char* path) override;
    void RegisterFileType(const char* extension, const char* program) override;
    bool WriteUninstaller(platform::ErrorCode* error) override;

private:
    const install::BaseFolders& folders_;
};

}  // namespace ui
