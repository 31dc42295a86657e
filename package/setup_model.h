// What the installer knows about its package: the settings, read once at start-up and then
// only read, the packaged files, and the destination the user chooses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/limits.h"
#include "package/settings_layout.h"
#include "platform/file.h"

namespace package {

// Base folders of a packaged file.
enum FolderKind : int32_t { kFolderInstall = 8, kFolderSystem = 16, kFolderWindows = 32 };
// What happens when the destination exists.
enum OverwriteMode : int32_t {
    kOverwriteAlways = 64,
    kOverwriteIfMissing = 128,
    kOverwriteAsk = 256
};
// Shortcuts a packaged file offers.
enum ShortcutFlag : int32_t {
    kShortcutDesktop = 1,
    kShortcutStartMenu = 2,
    kShortcutProgramGroup = 4
};

// The uninstaller texts may fill a whole item; the install folder is at most 255 bytes and its
// final backslash.
constexpr size_t kUninstallTextRoom = kItemRoom + 1;
constexpr size_t kInstallDirRoom = kFolderLimit + 2;

struct FileEntry {
    char fileName[kNameRoom + 1] = {};
    int32_t shortcutFlags = 0;
    int32_t folderKind = kFolderInstall;
    char subFolder[kNameRoom + 1] = {};
    int32_t overwriteMode = kOverwriteAlways;
    int32_t compressed = 0;
    int32_t dataLength = 0;
    int32_t dataOffset = 0;
    // For a file of a solid archive, what the start-up's piece check found: which of the
    // archive's files it is and how many bytes it has. -1 for any other file.
    int32_t solidPart = -1;
    uint32_t solidSize = 0;
    FileEntry* prev = nullptr;
    FileEntry* next = nullptr;
};

#pragma pack(push, 1)
struct FileTypeEntry {
    char extension[kExtensionRoom + 1];  // without its dot; empty: no association
    char program[kProgramRoom + 1];
};
#pragma pack(pop)
static_assert(sizeof(FileTypeEntry) == 259, "file type records are 259 bytes");

// The packaged files in package order, with a cursor. Readers take entry i with SeekTo(i) and
// read the record under the cursor.
class FileList {
public:
    FileList() = default;
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;
    virtual ~FileList();

    // False when the memory for the entry cannot be had.
    bool Append(const FileEntry& entry);
    // Places the cursor on entry `index` when it exists, walking from whichever of the first
    // entry, the last entry and the cursor is nearest; otherwise leaves the cursor alone.
    void SeekTo(int32_t index);
    const FileEntry* Current() const { return cursorNode; }
    void Clear();

    int32_t count = 0;
    FileEntry* first = nullptr;
    FileEntry* last = nullptr;
    FileEntry* cursorNode = nullptr;
    int32_t cursorIndex = 0;
};

// The eight lines of one wizard page; line 2 is the long one (the agreement text).
struct PageText {
    static constexpr int kLines = layout::kLinesPerPage;
    char line0[kNameRoom + 1];
    char line1[kNameRoom + 1];
    char line2[kLongLineRoom + 1];
    char line3[kNameRoom + 1];
    char line4[kNameRoom + 1];
    char line5[kNameRoom + 1];
    char line6[kNameRoom + 1];
    char line7[kNameRoom + 1];

    char* Line(int index);
    const char* Line(int index) const { return const_cast<PageText*>(this)->Line(index); }
    static size_t LineRoom(int index) { return index == 2 ? sizeof(line2) : sizeof(line0); }
};

enum PageIndex {
    kPageWelcome = layout::kWelcome,
    kPageAgreement = layout::kAgreement,
    kPageFolder = layout::kFolder,
    kPageProgress = layout::kProgress,
    kPageFinish = layout::kFinish,
    kPageCount = layout::kPages
};

struct SetupModel {
    FileList fileList;
    PageText pageTexts[kPageCount] = {};
    char appName[kNameRoom + 1] = {};
    int32_t pictureLength = 0;
    int32_t pictureOffset = 0;
    int32_t iconLength = 0;
    int32_t iconOffset = 0;
    char readmeFile[kNameRoom + 1] = {};
    char runProgram[kNameRoom + 1] = {};
    FileTypeEntry fileTypes[layout::kFileTypes] = {};
    char uninstallTexts[layout::kUninstallTexts][kUninstallTextRoom] = {};
    int32_t showBackground = 0;
    int32_t backgroundPictureLength = 0;
    int32_t backgroundPictureOffset = 0;
    char backgroundCaption[kCaptionRoom + 1] = {};
    uint32_t backgroundColor = 0;  // 0x00BBGGRR
    int32_t backgroundHasCaption = 0;
    // The settings say the trailer carries a checksum record: our packer wrote the package.
    bool checksumMarked = false;
    platform::SysChar exePath[platform::kPathRoom] = {};  // from the system: UTF-16 on Windows
    // The package as the installer opened and checked it at start-up, locked against writing,
    // renaming and deleting; every later read goes through it. Null in tests and tools, which
    // open the package by `exePath`.
    platform::RawFile* packageFile = nullptr;
    char installDir[kInstallDirRoom] = {};  // ends with a backslash once the folder page set it
};

}  // namespace package
