// Where a packaged file goes: its destination path from the base folders, the folders made on
// the way, the folder words of the settings, and the short form of a path for the status line.
// Paths are GBK; every search for "\" steps over double-byte characters (a trail byte may be
// 0x5C, as in 淺). Results go into the caller's buffer and each says whether it fitted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

constexpr size_t kFolderRoom = 260;

// The folders a page resolves paths against, filled on its first paint.
struct BaseFolders {
    char windowsDir[kFolderRoom] = {};  // no final backslash, except a drive root
    char systemDir[kFolderRoom] = {};
    char pageInstallDir[package::kInstallDirRoom] = {};  // ends with its backslash
};

// The folder that `folderKind` (32 Windows, 16 system, anything else the install folder) names.
const char* BaseFolderOf(const BaseFolders& folders, int32_t folderKind);

// Creates the folders of `path` below `base` up to its last backslash, shortest first, through
// `maker` (the machine itself when not given). One that
// exists is entered only while it lies below `base` as the system resolves both (a junction
// put on the way would carry the new folders elsewhere); failures pass silently (the file's
// write shows them).
class FolderMaker {
public:
    virtual ~FolderMaker() = default;
    virtual bool Exists(const char* path);
    virtual bool Create(const char* path);
    virtual bool LiesBelow(const char* folder, const platform::ResolvedFolder& base);
};
void CreateFolderTree(const char* path, const platform::ResolvedFolder& base, FolderMaker& maker);
void CreateFolderTree(const char* path, const platform::ResolvedFolder& base);

// Base folder, subfolder and file name of entry `index`, each join with exactly one backslash.
// With `createFolders` the folders on the way are made. False when the path did not fit.
bool DestinationPath(const BaseFolders& folders, package::FileList& files, int32_t index,
                     bool createFolders, char* path, size_t room);
bool JoinEntryPath(const BaseFolders& folders, const package::FileEntry& entry, char* path,
                   size_t room);

// "WINDOWS_FOLDER\x" and "SYSTEM_FOLDER\x" against their folders; any other first component
// (or none) is dropped for the install folder.
bool ResolveFolderWord(const BaseFolders& folders, const char* setting, char* path, size_t room);

// -- Staying inside the base folders -----------------------------------------------------------
// A package says where its files, readme, program and file-type programs are by paths below a
// base folder, and the installer runs as administrator: a damaged or hostile package must never
// reach outside. Windows is the judge: the paths are resolved as Windows resolves them
// (platform::FullPath), not matched against a list of tricks, since "/" separates as "\" does,
// a name loses its trailing dots and spaces (".. " goes up as ".." does) and "con" is a device.

// Whether `relative`, joined to `base` as the run joins paths, stays inside `base`: it is a
// relative path by Windows' rules (no drive, not beginning with a separator: code that combines
// paths as Windows does would take those for a root), and no step of it (each name in turn)
// resolves to anything but `base` or a path below it, neither as written nor with every name as
// Windows' name rules may leave it. A path that climbs out and comes back in (a\..\..\base\x)
// is refused too: it would leave any base folder not of that name. With `isFile` the path must
// end below `base`, never at it.
bool StaysInside(const char* base, const char* relative, bool isFile);

// A file entry: its subfolder, its name on its own (shortcuts take the name into folders of
// their own) and its destination all stay inside its base folder. The subfolder is taken as
// checked when `checkedBefore` (an entry that passed) has the same base folder and subfolder.
bool EntryStaysInside(const BaseFolders& folders, const package::FileEntry& entry,
                      const package::FileEntry* checkedBefore = nullptr);

// A path setting with its folder word (readme, program to run, file-type program), resolved
// the way ResolveFolderWord resolves it, names a file inside its base folder.
bool SettingStaysInside(const BaseFolders& folders, const char* setting);

// The first path of a package that leaves its base folder, if any.
struct PathProblem {
    enum What { None, File, Readme, RunProgram, FileType };
    What what = None;
    int32_t index = -1;  // the file entry or the file type
    bool ok() const { return what == None; }
};

// Every file entry, and the readme, the program to run and the file-type programs that are
// set. At start-up the install folder is not chosen yet: the folders are StandInFolders, and
// since a path is refused as soon as a step of it leaves, what passes there passes for every
// folder the user may choose (the run checks each file again against the real one).
PathProblem CheckPackagePaths(const package::SetupModel& model, const BaseFolders& folders);

// The install folder the start-up check resolves against; the other two folders are the
// machine's own (a fixed stand-in when the system names none).
constexpr const char kStandInInstallDir[] = "C:\\Program Files\\sfx-stand-in\\";
void StandInFolders(const char* windowsDir, const char* systemDir, BaseFolders* folders);

// `path` when it has at most `maxLength` bytes; else its first component, "...\", the end of
// its folder part and its file name, exactly `maxLength` bytes (or "..." and the file name when
// those two alone are too long). A double-byte character is never cut: the dots take its byte.
void ShortenPathForDisplay(const char* path, int32_t maxLength, char* shown, size_t room);

}  // namespace install
