// The machine beyond files for an installation run, with or without the wizard: controls, file
// types and the uninstaller, each told to the run's report.
#pragma once

#include "install/installation_run.h"
#include "install/path_rules.h"
#include "install/run_report.h"
#include "package/setup_model.h"

namespace install {

class MachineSystem : public RunSystem {
public:
    MachineSystem(const package::SetupModel& model, const BaseFolders& folders, RunReport& report)
        : model_(model), folders_(folders), report_(report) {}
    bool RegisterServer(const char* path, uint32_t crc) override;
    void RegisterFileType(const char* extension, const char* program) override;
    bool WriteUninstaller(platform::ErrorCode* error) override;

private:
    const package::SetupModel& model_;
    const BaseFolders& folders_;
    RunReport& report_;
};

// The Windows and system folders as the platform reports them, and `installDir`, the chosen
// install folder: what the run, the finish and the unattended run all start from.
void FillBaseFolders(const char* installDir, BaseFolders* folders);

}  // namespace install
