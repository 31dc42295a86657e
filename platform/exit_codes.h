// The exit status of the installer and of the uninstaller, the same numbers for both, so that a
// script can tell what happened without reading any window.
#pragma once

namespace platform {

enum ExitCode : int {
    kExitDone = 0,            // installed (or removed) completely
    kExitCancelled = 1,       // the user cancelled
    kExitBadCommandLine = 2,  // an option that is not ours, or /? asked for the options
    kExitDamaged = 3,     // the package (or the uninstaller's block or log) is damaged or missing
    kExitIncomplete = 4,  // finished, but some files were not installed (or not removed)
    kExitFolderRefused = 5,  // the destination folder was refused
};

}  // namespace platform
