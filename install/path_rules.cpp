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
bool FolderMaker::LiesBelow(const char* folder, const platform::ResolvedFolder& base) {
    return platform::FolderLiesBelow(folder, base);
}

void CreateFolderTree(const char* path, const platform::ResolvedFolder& base) {
    FolderMaker machine;
    CreateFolderTree(path, base, machine);
}

void CreateFolderTree(const char* path, const platform::ResolvedFolder& base,
                      FolderMaker& maker) {
    size_t start = std::strlen(base.path());
    if (gbk::EndsWithBackslash(base.path())) --start;
    if (std::strncmp(path, base.path(), start) != 0) return;
    char prefix[platform::kPathRoom];
    for (size_t i = start; path[i] != '\0'; i += gbk::CharWidth(path + i)) {
        if (path[i] != '\\' || i == start || i >= sizeof prefix) continue;
        std::memcpy(prefix, path, i);
        prefix[i] = '\0';
        if (maker.Exists(prefix) ? !maker.LiesBelow(prefix, base) : !maker.Create(prefix)) return;
    }
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
    if (fits && createFolders) CreateFolderTree(path, BaseFolderOf(folders, entry->folderKind));
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

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the name that starts at `at` ends (a separator or the end of the text).
size_t NameEnd(const char* path, size_t at) {
    while (path[at] != '\0' && !IsSeparator(path[at])) at += gbk::CharWidth(path + at);
    return at;
}

// The full path's length once a final separator is left off: "C:\a\" and "C:\a" are one folder.
size_t WithoutFinalSeparator(const char* full) {
    size_t length = std::strlen(full);
    if (length > 0 && full[length - 1] == '\\') --length;
    return length;
}

// Whether the full path `full` is the folder `base` (of `baseLength` bytes, no final separator)
// or lies below it; with `strictly`, only below it.
bool Within(const char* base, size_t baseLength, const char* full, bool strictly) {
    const size_t length = WithoutFinalSeparator(full);
    if (length < baseLength || std::memcmp(full, base, baseLength) != 0) return false;
    if (length == baseLength) return !strictly;
    return full[baseLength] == '\\';
}

// `relative` with every name as Windows' name rules may leave it: trailing dots and spaces
// dropped, and a name of nothing but dots and spaces taken for ".." (two dots or more) or "."
// (one). Whatever a version of Windows makes of such a name, this reading is the one that
// climbs furthest.
bool NamesAsWindowsMayLeaveThem(const char* relative, char* out, size_t room) {
    size_t used = 0;
    for (size_t at = 0; relative[at] != '\0';) {
        if (IsSeparator(relative[at])) {
            if (used + 1 >= room) return false;
            out[used++] = relative[at++];
            continue;
        }
        const size_t end = NameEnd(relative, at);
        size_t length = end - at;
        int dots = 0;
        bool onlyDots = true;
        for (size_t i = at; i < end; ++i) {
            if (relative[i] == '.')
                ++dots;
            else if (relative[i] != ' ')
                onlyDots = false;
        }
        const char* name = relative + at;
        if (onlyDots) {
            name = dots >= 2 ? ".." : ".";
            length = dots >= 2 ? 2 : dots;
        } else {
            while (name[length - 1] == '.' || name[length - 1] == ' ') --length;
        }
        if (used + length >= room) return false;
        std::memcpy(out + used, name, length);
        used += length;
        at = end;
    }
    out[used] = '\0';
    return true;
}

// One reading of `relative`: each step, base and the path up to the end of each of its names,
// resolved and compared with the base.
bool StepsStayInside(const char* base, const char* fullBase, size_t baseLength,
                     const char* relative, bool isFile) {
    char joined[platform::kPathRoom];
    if (!gbk::Copy(joined, sizeof joined, base) ||
        (!gbk::EndsWithBackslash(joined) && !gbk::Append(joined, sizeof joined, "\\")))
        return false;
    const size_t baseEnd = std::strlen(joined);
    bool named = false;
    for (size_t at = 0; relative[at] != '\0';) {
        if (IsSeparator(relative[at])) {
            ++at;
            continue;
        }
        const size_t end = NameEnd(relative, at);
        size_t next = end;
        while (IsSeparator(relative[next])) ++next;
        const bool last = relative[next] == '\0';
        char full[platform::kPathRoom];
        if (!gbk::CopyBytes(joined + baseEnd, sizeof joined - baseEnd, relative, end) ||
            !platform::FullPath(joined, full, sizeof full) ||
            !Within(fullBase, baseLength, full, isFile && last))
            return false;
        named = true;
        at = end;
    }
    return named || !isFile;
}

// A base folder with its full path, resolved once for the several paths below it.
struct Base {
    const char* path;
    char full[platform::kPathRoom];
    size_t length;  // of `full`, without a final separator
    bool Resolve(const char* base) {
        path = base;
        if (!platform::FullPath(base, full, sizeof full)) return false;
        length = WithoutFinalSeparator(full);
        return true;
    }
};

bool Inside(const Base& base, const char* relative, bool isFile) {
    // A rooted path ("\x", "\\server\share") or one with a drive ("D:\x", "D:x").
    if (IsSeparator(relative[0]) || (relative[0] != '\0' && relative[1] == ':')) return false;
    if (!StepsStayInside(base.path, base.full, base.length, relative, isFile)) return false;
    char reading[platform::kPathRoom];
    if (!NamesAsWindowsMayLeaveThem(relative, reading, sizeof reading)) return false;
    return std::strcmp(reading, relative) == 0 ||
           StepsStayInside(base.path, base.full, base.length, reading, isFile);
}
}  // namespace

bool StaysInside(const char* base, const char* relative, bool isFile) {
    Base resolved;
    return resolved.Resolve(base) && Inside(resolved, relative, isFile);
}

bool EntryStaysInside(const BaseFolders& folders, const package::FileEntry& entry,
                      const package::FileEntry* checkedBefore) {
    Base base;
    if (!base.Resolve(BaseFolderOf(folders, entry.folderKind))) return false;
    // Files of one folder follow each other: its subfolder needs one check, not one a file.
    const bool subFolderChecked = checkedBefore && checkedBefore->folderKind == entry.folderKind &&
                                  std::strcmp(checkedBefore->subFolder, entry.subFolder) == 0;
    if (entry.subFolder[0] != '\0' && !subFolderChecked && !Inside(base, entry.subFolder, false))
        return false;
    if (!Inside(base, entry.fileName, true)) return false;
    char path[platform::kPathRoom];
    char full[platform::kPathRoom];
    return JoinEntryPath(folders, entry, path, sizeof path) &&
           platform::FullPath(path, full, sizeof full) &&
           Within(base.full, base.length, full, true);
}

bool SettingStaysInside(const BaseFolders& folders, const char* setting) {
    const size_t split = gbk::FirstBackslash(setting);
    if (split == gbk::kNotFound) return StaysInside(folders.pageInstallDir, setting, true);
    const int32_t kind = package::words::FolderKindFromWord(setting, split);
    return StaysInside(BaseFolderOf(folders, kind), setting + split + 1, true);
}

PathProblem CheckPackagePaths(const package::SetupModel& model, const BaseFolders& folders) {
    PathProblem problem;
    int32_t index = 0;
    for (const package::FileEntry* entry = model.fileList.first; entry;
         entry = entry->next, ++index) {
        if (!EntryStaysInside(folders, *entry, entry->prev)) {
            problem.what = PathProblem::File;
            problem.index = index;
            return problem;
        }
    }
    if (model.readmeFile[0] != '\0' && !SettingStaysInside(folders, model.readmeFile))
        problem.what = PathProblem::Readme;
    else if (model.runProgram[0] != '\0' && !SettingStaysInside(folders, model.runProgram))
        problem.what = PathProblem::RunProgram;
    for (int32_t i = 0; i < 2 && problem.ok(); ++i) {
        if (model.fileTypes[i].extension[0] != '\0' &&
            !SettingStaysInside(folders, model.fileTypes[i].program)) {
            problem.what = PathProblem::FileType;
            problem.index = i;
        }
    }
    return problem;
}

void StandInFolders(const char* windowsDir, const char* systemDir, BaseFolders* folders) {
    const bool windows = windowsDir[0] != '\0' &&
                         gbk::Copy(folders->windowsDir, sizeof folders->windowsDir, windowsDir);
    if (!windows) gbk::Copy(folders->windowsDir, sizeof folders->windowsDir, "C:\\Windows");
    const bool system =
        systemDir[0] != '\0' && gbk::Copy(folders->systemDir, sizeof folders->systemDir, systemDir);
    if (!system) gbk::Copy(folders->systemDir, sizeof folders->systemDir, "C:\\Windows\\System32");
    gbk::Copy(folders->pageInstallDir, sizeof folders->pageInstallDir, kStandInInstallDir);
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
