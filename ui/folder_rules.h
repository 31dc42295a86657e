// The folder page's rules, free of any window: the default destination, the parent that a
// choice is checked against, and the verdict on that parent. Paths are GBK byte strings, so
// every search for a backslash steps over double-byte characters (a trail byte may be 0x5C).
// Results go into the caller's buffer of `room` bytes; each returns false when it did not fit.
#pragma once

#include <cstddef>

namespace ui {

// Drive types in the platform's numbering (GetDriveType).
enum DriveType : int {
    kDriveUnknown = 0,
    kDriveNoRoot = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6
};

enum class FolderVerdict { Pass, InvalidDrive, FloppyDrive, NetworkDrive, InvalidFolder };

// What the parent check needs from the machine.
class FolderProbe {
public:
    virtual ~FolderProbe() = default;
    // The type of the drive `drive`, two bytes such as "C:".
    virtual int DriveType(const char* drive) const = 0;
    virtual bool FolderExists(const char* path) const = 0;
};

// The drive root of `windowsDir` (up to and including its first backslash), then
// "Program Files\" and `appName`: C:\WINDOWS and Demo give C:\Program Files\Demo.
bool DefaultInstallFolder(const char* windowsDir, const char* appName, char* folder, size_t room);

// `folder` with exactly the final backslash that the installation expects; an empty folder
// becomes a lone backslash.
bool WithFinalBackslash(const char* folder, char* out, size_t room);

// The folder that must exist for `folder` (which ends with its backslash) to be created:
// C:\Program Files\Demo\ gives C:\Program Files, D:\Demo\ gives D:, C:\ gives nothing.
bool ParentFolder(const char* folder, char* parent, size_t room);

// The verdict on `parent`: nothing is a bad drive; a bare drive must be a usable one; anything
// deeper must be an existing folder.
FolderVerdict CheckParentFolder(const char* parent, const FolderProbe& probe);

// True when a name in `folder` ends in a dot or a blank (other than the levels "." and ".."):
// Windows drops those, so the folder made would not be the folder named.
bool HasDroppedEnding(const char* folder);

// True for a path that names its drive or share from the root ("C:\..." or "\\server\...").
bool IsRootedPath(const char* folder);

// The message for a refusal (GBK); empty for Pass.
const char* FolderVerdictMessage(FolderVerdict verdict);

// The browse dialog's starting folder: trailing blanks and one final (back)slash removed.
bool BrowseStartFolder(const char* folder, char* start, size_t room);

}  // namespace ui
