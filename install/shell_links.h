// Shortcuts through the shell's link object. The shell folders live in the user's profile, whose
// name GBK may not hold (C:\Users\김민수), so their paths and the links' paths stay UTF-16 and
// links are saved through the wide interfaces; only the log gets them as GBK.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/install_log.h"

namespace install {

// The shell folder `csidl` (CSIDL_DESKTOPDIRECTORY...) ending with "\"; false when the user has
// no such folder.
bool SpecialFolderPath(int csidl, wchar_t* path, size_t room);

// Where the link `linkName` of `kind` goes: the desktop, the start menu, or the program group
// `groupName` below the programs folder. False when there is no such folder, or the name would
// leave it.
bool ShortcutPath(int32_t kind, const char* linkName, const char* groupName, wchar_t* path,
                  size_t room);

// Saves a link at `link` to `target`, started in the target's folder and shown normally.
bool CreateShortcut(const wchar_t* target, const wchar_t* link);

// The machine's shell for CreateShortcuts, with the program group named `groupName`.
class ShellShortcuts : public ShortcutSystem {
public:
    explicit ShellShortcuts(const char* groupName) : groupName_(groupName) {}
    void CreateLink(int32_t kind, const char* linkName, const char* target, char* logged,
                    size_t room) override;
    void CreateGroup(const char* uninstaller) override;

private:
    const char* groupName_;
};

}  // namespace install
