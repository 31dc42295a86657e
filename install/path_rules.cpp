#include "install/path_rules.h"

#include <cstring>

#include "package/words.h"
#include "platform/file.h"
#include "platform/gbk.h"

namespace install {

namespace {
bool JoinFolder(char* path, size_t room, const char* folder) {
    bool fits = gbk::Append(path, room, folder);
    if (!gbk::EndsWithBackslash(path)) fits = gbk::Append(path, room, "\\") && fits;
    return fits;
}
}  // namespace

const char* BaseFolderOf(const BaseFolders& folders, int32_t folderKind) {
    if (folderKind == package::kFolderWindows) return folders.windowsDir;
    if (folderKind == package::kFolderSystem) return folders.systemDir;
    return folders.pageInstallDir;
}

bool FolderMaker::Exists(const char* path) { return platform::PathExists(path); }
bool FolderMaker::Create(const char* path) { return platform::CreateFolder(path); }

void CreateFolderTree(const char* path, FolderMaker& maker) {
    char prefix[platform::kPathRoom];
    for (size_t i = 0; path[i] != '\0'; i += gbk::CharWidth(path + i)) {
        if (path[i] != '\\' || i == 0 || i >= sizeof prefix) continue;
        std::memcpy(prefix, path, i);
        prefix[i] = '\0';
        if (!maker.Exists(prefix)) maker.Create(prefix);
    }
}

void CreateFolderTree(const char* path) {
    FolderMaker machine;
    CreateFolderTree(path, machine);
}

bool JoinEntryPath(const BaseFolders& folders, const package::FileEntry& entry, char* path,
                   size_t room) {
    path[0] = '\0';
    bool fits = JoinFolder(path, room, BaseFolderOf(folders, entry.folderKind));
    if (entry.subFolder[0]) fits = JoinFolder(path, room, entry.subFolder) && fits;
    return gbk::Append(path, room, entry.fileName) && fits;
}

bool DestinationPath(const BaseFolders& folders, package::FileList& files, int32_t index,
                     bool createFolders, char* path, size_t room) {
    files.SeekTo(index);
    const package::FileEntry* entry = files.Current();
    if (!entry) {
        path[0] = '\0';
        return false;
    }
    const bool fits = JoinEntryPath(folders, *entry, path, room);
    if (fits && createFolders) CreateFolderTree(path);
    return fits;
}

bool ResolveFolderWord(const BaseFolders& folders, const char* setting, char* path, size_t room) {
    const size_t split = gbk::FirstBackslash(setting);
    const char* rest = setting;
    const char* base = folders.pageInstallDir;
    if (split != gbk::kNotFound) {
        rest = setting + split + 1;
        base = BaseFolderOf(folders, package::words::FolderKindFromWord(setting, split));
    }
    path[0] = '\0';
    const bool fits = JoinFolder(path, room, base);
    return gbk::Append(path, room, rest) && fits;
}

void ShortenPathForDisplay(const char* path, int32_t maxLength, char* shown, size_t room) {
    const size_t length = std::strlen(path);
    if (maxLength < 0 || length <= static_cast<size_t>(maxLength)) {
        gbk::Copy(shown, room, path);
        return;
    }
    const size_t first = gbk::FirstBackslash(path);
    const size_t last = gbk::LastBackslash(path);
    const size_t headLength = first == gbk::kNotFound ? 0 : first + 1;
    const char* tail = last == gbk::kNotFound ? path : path + last;
    const size_t tailLength = std::strlen(tail);
    if (headLength + 4 + tailLength > static_cast<size_t>(maxLength)) {
        gbk::Copy(shown, room, "...");
        gbk::Append(shown, room, tail);
        return;
    }
    const size_t keep = static_cast<size_t>(maxLength) - headLength - 4 - tailLength;
    size_t from = static_cast<size_t>(tail - path) - keep;
    // Where the kept bytes would begin inside a double-byte character, one more dot stands in
    // for its lone trail byte: the length stays, and no half character is shown.
    bool split = false;
    for (size_t i = 0; i < from; i += gbk::CharWidth(path + i))
        if (i + gbk::CharWidth(path + i) > from) split = true;
    gbk::CopyBytes(shown, room, path, headLength);
    gbk::Append(shown, room, split ? "....\\" : "...\\");
    if (split) ++from;
    const size_t used = std::strlen(shown);
    if (used < room)
        gbk::CopyBytes(shown + used, room - used, path + from,
                       static_cast<size_t>(tail - path) - from);
    gbk::Append(shown, room, tail);
}

}  // namespace install
