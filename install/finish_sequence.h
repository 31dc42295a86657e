// What Finish does, with or without the page: setup.log with the links, setup.lst, then the
// readme and the program. The wizard's finish page and the unattended installation share it.
#pragma once

#include "install/install_log.h"
#include "install/path_rules.h"
#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

// Where a failure of the sequence is told: a box over the page, or the report of an unattended
// run. `error` is the system's reason (0 for none).
class FinishView {
public:
    virtual ~FinishView() = default;
    virtual void Failed(const char* message, platform::ErrorCode error) = 0;
    // A line for the report of the run: what was written or made.
    virtual void Done(const char* what, const char* path) = 0;
};

struct FinishChoice {
    ShortcutChoice links;
    bool readme = false;
    bool run = false;
};

// The whole sequence for the installation of `model`. `written` is the run's list of written
// files (LF-separated), `installedBytes` the size of the files it wrote or kept. True when the
// list and the log were written whole; when the list cannot be, nothing else happens.
bool RunFinishSequence(package::SetupModel& model, const BaseFolders& folders,
                       const char* groupName, const FinishChoice& choice, const char* written,
                       uint64_t installedBytes, FinishView& view);

}  // namespace install
