#include "ui/folder_rules.h"

#include <cstring>

#include "platform/gbk.h"
#include "resources/setup_texts.h"

namespace ui {

bool DefaultInstallFolder(const char* windowsDir, const char* appName, char* folder, size_t room) {
    const size_t first = gbk::FirstBackslash(windowsDir);
    bool fits = first == gbk::kNotFound ? gbk::Copy(folder, room, windowsDir)
                                        : gbk::CopyBytes(folder, room, windowsDir, first + 1);
    if (!gbk::EndsWithBackslash(folder)) fits = gbk::Append(folder, room, "\\") && fits;
    fits = gbk::Append(folder, room, "Program Files\\") && fits;
    return gbk::Append(folder, room, appName) && fits;
}

bool WithFinalBackslash(const char* folder, char* out, size_t room) {
    if (!gbk::Copy(out, room, folder)) return false;
    return gbk::EndsWithBackslash(out) || gbk::Append(out, room, "\\");
}

bool HasDroppedEnding(const char* folder) {
    size_t start = 0;
    for (size_t i = 0;; i += gbk::CharWidth(folder + i)) {
        if (folder[i] != '\\' && folder[i] != '\0') continue;
        // The level [start, i): '.' and ' ' are never trail bytes, so its last byte tells.
        const size_t length = i - start;
        const bool dots =
            (length == 1 || length == 2) && folder[start] == '.' && folder[i - 1] == '.';
        if (length > 0 && !dots && (folder[i - 1] == '.' || folder[i - 1] == ' ')) return true;
        if (folder[i] == '\0') return false;
        start = i + 1;
    }
}

bool IsRootedPath(const char* folder) {
    const unsigned char letter = static_cast<unsigned char>(folder[0] | 0x20);
    return (letter >= 'a' && letter <= 'z' && folder[1] == ':' && folder[2] == '\\') ||
           (folder[0] == '\\' && folder[1] == '\\');
}

bool ParentFolder(const char* folder, char* parent, size_t room) {
    parent[0] = '\0';
    const size_t last = gbk::LastCharacter(folder);
    if (last == gbk::kNotFound) return true;
    // Everything before the final backslash, then up to the backslash before it.
    size_t cut = gbk::kNotFound;
    for (size_t i = 0; i < last; i += gbk::CharWidth(folder + i))
        if (folder[i] == '\\') cut = i;
    if (cut == gbk::kNotFound) return true;
    return gbk::CopyBytes(parent, room, folder, cut);
}

FolderVerdict CheckParentFolder(const char* given, const FolderProbe& probe) {
    if (!*given) return FolderVerdict::InvalidDrive;
    char parent[1024];
    if (!gbk::Copy(parent, sizeof parent, given)) return FolderVerdict::InvalidFolder;
    if (gbk::EndsWithBackslash(parent)) parent[std::strlen(parent) - 1] = '\0';
    if (std::strlen(parent) == 2) {
        switch (probe.DriveType(parent)) {
            case kDriveNoRoot: {
                // Drives A: and B: without a disk are floppy drives waiting for one.
                char letter = static_cast<char>(parent[0] | 0x20);
                bool floppy = (letter == 'a' || letter == 'b') && parent[1] == ':';
                return floppy ? FolderVerdict::FloppyDrive : FolderVerdict::InvalidDrive;
            }
            case kDriveRemovable: return FolderVerdict::FloppyDrive;
            case kDriveRemote: return FolderVerdict::NetworkDrive;
            case kDriveCdRom:
                // Nothing can be installed on a read-only disc.
                return FolderVerdict::InvalidDrive;
            default: return FolderVerdict::Pass;
        }
    }
    return probe.FolderExists(parent) ? FolderVerdict::Pass : FolderVerdict::InvalidFolder;
}

const char* FolderVerdictMessage(FolderVerdict verdict) {
    switch (verdict) {
        case FolderVerdict::InvalidDrive: return text::kInvalidDrive;
        case FolderVerdict::FloppyDrive: return text::kFloppyDrive;
        case FolderVerdict::NetworkDrive: return text::kNetworkDrive;
        case FolderVerdict::InvalidFolder: return text::kInvalidFolder;
        case FolderVerdict::Pass: break;
    }
    return "";
}

bool BrowseStartFolder(const char* folder, char* start, size_t room) {
    if (!gbk::Copy(start, room, folder)) return false;
    size_t length = std::strlen(start);
    while (length > 0) {
        char last = start[length - 1];
        if (last != ' ' && last != '\t' && last != '\r' && last != '\n' && last != '\v' &&
            last != '\f')
            break;
        start[--length] = '\0';
    }
    if (length > 0 && (start[length - 1] == '/' || gbk::EndsWithBackslash(start)))
        start[length - 1] = '\0';
    return true;
}

}  // namespace ui
