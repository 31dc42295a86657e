// The folder page's rules, free of any window: the default destination, the parent that a
// choice is checked against, and the verdict on that parent. Paths are GBK byte strings, so
// every search for a backslash steps over double-byte characters (a trail byte may be 0x5C).
#pragma once

#include <string>

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
    virtual int DriveType(const std::string& drive) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
};

// True when `path` ends with a backslash that is a character of its own, not the trail byte of
// a double-byte character.
bool EndsWithBackslash(const std::string& path);

// The byte offset of the last backslash that is a character of its own, or npos.
size_t LastBackslash(const std::string& path);

// The drive root of `windowsDir` (up to and including its first backslash), then
// "Program Files\" and `appName`: C:\WINDOWS and Demo give C:\Program Files\Demo.
std::string DefaultInstallFolder(const std::string& windowsDir, const std::string& appName);

// `folder` with exactly the final backslash that the installation expects; an empty folder
// becomes a lone backslash.
std::string WithFinalBackslash(const std::string& folder);

// The folder that must exist for `folder` (which ends with its backslash) to be created:
// C:\Program Files\Demo\ gives C:\Program Files, D:\Demo\ gives D:, C:\ gives nothing.
std::string ParentFolder(const std::string& folder);

// The verdict on `parent`: nothing is a bad drive; a bare drive must be a usable one; anything
// deeper must be an existing folder.
FolderVerdict CheckParentFolder(std::string parent, const FolderProbe& probe);

// The message for a refusal (GBK); empty for Pass.
const char* FolderVerdictMessage(FolderVerdict verdict);

// The browse dialog's starting folder: trailing blanks and one final (back)slash removed.
std::string BrowseStartFolder(std::string folder);

}  // namespace ui
