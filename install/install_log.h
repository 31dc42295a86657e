// The finishing sequence's files: `setup.log` (the files, the file types and the links) and
// `setup.lst` beside it (the files the installations into this folder really wrote), in the
// format of package/install_records.h, and the shortcuts, whose paths go into the log as they
// are made. Both files are built in memory and put in place only when
// complete: an uninstaller must never act on a cut list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/path_rules.h"
#include "package/install_records.h"
#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/text_buffer.h"

namespace install {

// What making links needs from the machine. Shell folders belong to the user's profile, whose
// name GBK may not hold, so the paths stay with the implementation; the log gets them as GBK
// holds them.
class ShortcutSystem {
public:
    virtual ~ShortcutSystem() = default;
    // Saves the link `linkName` to `target` in the folder of `kind` (a ShortcutFlag; the program
    // group's folder for kShortcutProgramGroup). `logged` receives the link's path for the log,
    // also when it could not be saved; empty when the shell has no such folder.
    virtual void CreateLink(int32_t kind, const char* linkName, const char* target, char* logged,
                            size_t room) = 0;
    // Makes the program group's folder and its link "unwise.lnk" to `uninstaller`.
    virtual void CreateGroup(const char* uninstaller) = 0;
};

struct ShortcutChoice {
    bool desktop = false;
    bool startMenu = false;
    bool programGroup = true;
};

// The file and type sections and the shortcut header: every packaged file's destination,
// whether or not it was written, then the non-empty extensions.
void BeginInstallLog(const BaseFolders& folders, package::SetupModel& model,
                     platform::TextBuffer* log);

// The links the user chose, file by file: desktop, start menu, then the program group (its
// folder and uninstaller link before its first link). Each link attempted is a line of `log`.
void CreateShortcuts(const BaseFolders& folders, package::SetupModel& model,
                     const ShortcutChoice& choice, ShortcutSystem& shell,
                     platform::TextBuffer* log);

// The list of written files for `setup.lst`: the lines of an earlier list of this folder
// (`earlier`, any line ends) first, then the paths of `written` (LF-separated) not yet in it.
// Paths compare as Windows compares names (package/windows_case.h).
void MergeWrittenList(const char* earlier, size_t earlierLength, const char* written,
                      platform::TextBuffer* list);

}  // namespace install
