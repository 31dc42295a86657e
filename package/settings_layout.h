// The order of the settings block: which item carries which setting. The packer writes the items
// by these numbers, the installer's loader reads them by these numbers and `sfxpack verify`
// checks them by these numbers, so the three cannot drift apart. Header-only, no library
// strings: the installer includes it as it is.
#pragma once

namespace package {
namespace layout {

// The wizard's pages, in page order, and their eight lines each.
enum Page : int { kWelcome, kAgreement, kFolder, kProgress, kFinish };
constexpr int kPages = 5;
constexpr int kLinesPerPage = 8;
// The agreement page shows its line 2 in the agreement box.
constexpr int kAgreementTextLine = 2;

// The publisher's names of the pages (manifest tables, messages, listings).
constexpr const char* kPageNames[kPages] = {"welcome", "agreement", "folder", "progress", "finish"};

// How many lines, from line 0 on, each page binds to a control: welcome 0-7, agreement 0-2
// (2 is the box), folder 0-3, progress 0, finish 0-2. The others are stored and never shown.
constexpr int kShownLines[kPages] = {8, 3, 4, 1, 3};

constexpr bool PageShowsLine(int page, int line) {
    return page >= 0 && page < kPages && line >= 0 && line < kShownLines[page];
}

// The 64 settings items, 0-based (item n of the format is n - 1 here), in the order they stand.
enum SettingsItem : int {
    kFirstPageLine = 0,  // page 0 line 0 .. page 4 line 7; see PageLineItem
    kAppName = kFirstPageLine + kPages * kLinesPerPage,
    kReadmeFile,
    kRunProgram,
    kFirstUninstallText,  // texts passed on to the uninstaller; see UninstallTextItem
    kUnusedAfterUninstallTexts = kFirstUninstallText + 4,
    kPictureLength,
    kPictureOffset,
    kIconLength,
    kIconOffset,
    kFirstFileType,  // per file type: its program, then its extension; see FileTypeItem
    kShowBackground = kFirstFileType + 2 * 2,
    kBackgroundPictureLength,
    kBackgroundPictureOffset,
    kBackgroundCaption,
    kBackgroundColor,
    kBackgroundHasCaption,
    kFirstUnusedAtEnd,  // read and not used
    // Our packer's kChecksumMark: the trailer carries a checksum record (package/trailer.h).
    // Readers of the format do not use the item, so the mark costs them nothing, and a package
    // that lost its record cannot pass for one that never had any.
    kChecksumMark,
    kSettingsItems
};
static_assert(kAppName == 40 && kPictureLength == 48 && kShowBackground == 56 &&
                  kSettingsItems == 64,
              "the settings items keep the numbers every existing package uses");

constexpr int PageLineItem(int page, int line) {
    return kFirstPageLine + page * kLinesPerPage + line;
}
constexpr int kUninstallTexts = kUnusedAfterUninstallTexts - kFirstUninstallText;
constexpr int UninstallTextItem(int index) { return kFirstUninstallText + index; }
constexpr int kFileTypes = (kShowBackground - kFirstFileType) / 2;
// The installer copies the program before the extension: the extension is written over the
// start of the record and must come second.
constexpr int FileTypeProgramItem(int type) { return kFirstFileType + 2 * type; }
constexpr int FileTypeExtensionItem(int type) { return kFirstFileType + 2 * type + 1; }

// After the settings items, eight items per packaged file, until an empty name.
enum FileItem : int {
    kFileName,
    kFileFolder,  // a folder word (package/words.h)
    kFileSubFolder,
    kFileShortcuts,
    kFileOverwrite,  // an overwrite word
    kFileDataLength,
    kFileDataOffset,
    kFileCompressed,  // a flag word
    kFileItems
};

constexpr const char* kChecksumMarkWord = "CRC32";

// How an item is written: a text as it stands, a decimal number, a flag word ("TRUE" or
// anything else), a keyword, or nothing the installer reads.
enum class ItemForm { Text, Number, Flag, Word, Unused };

constexpr ItemForm SettingsItemForm(int item) {
    switch (item) {
        case kUnusedAfterUninstallTexts:
        case kFirstUnusedAtEnd:
        case kChecksumMark: return ItemForm::Unused;
        case kPictureLength:
        case kPictureOffset:
        case kIconLength:
        case kIconOffset:
        case kBackgroundPictureLength:
        case kBackgroundPictureOffset:
        case kBackgroundColor: return ItemForm::Number;
        case kShowBackground:
        case kBackgroundHasCaption: return ItemForm::Flag;
        default: return ItemForm::Text;
    }
}

constexpr ItemForm FileItemForm(int item) {
    switch (item) {
        case kFileFolder:
        case kFileOverwrite: return ItemForm::Word;
        case kFileShortcuts:
        case kFileDataLength:
        case kFileDataOffset: return ItemForm::Number;
        case kFileCompressed: return ItemForm::Flag;
        default: return ItemForm::Text;
    }
}

// The packer ends a row after eight items; the reader takes any mix of the two separators.
constexpr int kItemsPerRow = 8;

}  // namespace layout
}  // namespace package
