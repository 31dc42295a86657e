#include "ui/folder_rules.h"

#include "ui/messages.h"

namespace ui {

namespace {
bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The offset where the last character of `path` starts (npos for an empty path).
size_t LastCharacter(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        last = i;
        i += IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size() ? 2 : 1;
    }
    return last;
}
}  // namespace

size_t LastBackslash(const std::string& path) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        unsigned char byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (byte == '\\') found = i;
        ++i;
    }
    return found;
}

bool EndsWithBackslash(const std::string& path) {
    size_t last = LastCharacter(path);
    return last != std::string::npos && path[last] == '\\' && last + 1 == path.size();
}

std::string DefaultInstallFolder(const std::string& windowsDir, const std::string& appName) {
    size_t first = std::string::npos;
    for (size_t i = 0; i < windowsDir.size();) {
        unsigned char byte = static_cast<unsigned char>(windowsDir[i]);
        if (IsLeadByte(byte) && i + 1 < windowsDir.size()) {
            i += 2;
            continue;
        }
        if (byte == '\\') {
            first = i;
            break;
        }
        ++i;
    }
    std::string folder = first == std::string::npos ? windowsDir : windowsDir.substr(0, first + 1);
    if (!EndsWithBackslash(folder)) folder += '\\';
    return folder + "Program Files\\" + appName;
}

std::string WithFinalBackslash(const std::string& folder) {
    return EndsWithBackslash(folder) ? folder : folder + '\\';
}

std::string ParentFolder(const std::string& folder) {
    std::string rest = folder;
    size_t last = LastCharacter(rest);
    if (last == std::string::npos) return std::string();
    rest.erase(last);  // the final backslash
    size_t cut = LastBackslash(rest);
    return cut == std::string::npos ? std::string() : rest.substr(0, cut);
}

FolderVerdict CheckParentFolder(std::string parent, const FolderProbe& probe) {
    if (parent.empty()) return FolderVerdict::InvalidDrive;
    if (EndsWithBackslash(parent)) parent.erase(parent.size() - 1);
    if (parent.size() == 2) {
        switch (probe.DriveType(parent)) {
            case kDriveNoRoot: {
                char letter = static_cast<char>(parent[0] | 0x20);
                bool floppy = (letter == 'a' || letter == 'b') && parent[1] == ':';
                return floppy ? FolderVerdict::FloppyDrive : FolderVerdict::InvalidDrive;
            }
            case kDriveRemovable: return FolderVerdict::FloppyDrive;
            case kDriveRemote: return FolderVerdict::NetworkDrive;
            case kDriveCdRom:
                // A read-only medium: nothing can be installed there.
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

std::string BrowseStartFolder(std::string folder) {
    while (!folder.empty()) {
        char last = folder.back();
        if (last != ' ' && last != '\t' && last != '\r' && last != '\n' && last != '\v' &&
            last != '\f')
            break;
        folder.pop_back();
    }
    if (!folder.empty() && (folder.back() == '/' || EndsWithBackslash(folder))) folder.pop_back();
    return folder;
}

}  // namespace ui
