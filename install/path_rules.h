// Where a packaged file goes: its destination path from the base folders, the folders made on
// the way, the folder words of the settings, and the short form of a path for the status line.
// Paths are GBK; every search for "\" steps over double-byte characters (a trail byte may be
// 0x5C, as in 淺). Results go into the caller's buffer and each says whether it fitted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/setup_model.h"

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

// What folder creation needs from the machine; the default is the machine itself.
class FolderMaker {
public:
    virtual ~FolderMaker() = default;
    virtual bool Exists(const char* path);
    virtual bool Create(const char* path);
};

// Creates every folder of `path` up to its last backslash, shortest first; a prefix that
// exists as anything is left alone, and failures pass silently (the file's write shows them).
void CreateFolderTree(const char* path, FolderMaker& maker);
void CreateFolderTree(const char* path);

// Base folder, subfolder and file name of entry `index`, each join with exactly one backslash.
// With `createFolders` the folders on the way are made. False when the path did not fit.
bool DestinationPath(const BaseFolders& folders, package::FileList& files, int32_t index,
                     bool createFolders, char* path, size_t room);
bool JoinEntryPath(const BaseFolders& folders, const package::FileEntry& entry, char* path,
                   size_t room);

// "WINDOWS_FOLDER\x" and "SYSTEM_FOLDER\x" against their folders; any other first component
// (or none) is dropped for the install folder.
bool ResolveFolderWord(const BaseFolders& folders, const char* setting, char* path, size_t room);

// `path` when it has at most `maxLength` bytes; else its first component, "...\", the end of
// its folder part and its file name, exactly `maxLength` bytes (or "..." and the file name when
// those two alone are too long). A double-byte character is never cut: the dots take its byte.
void ShortenPathForDisplay(const char* path, int32_t maxLength, char* shown, size_t room);

}  // namespace install
