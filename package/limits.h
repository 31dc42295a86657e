// Every limit a package keeps, and the one rule that measures a text against it: its length in
// GBK bytes, a double-byte character counting 2. That is how the installer measures: its page
// read-back compares the GBK byte length of a control's text with the control's limit (47 for
// a line, so 24 Chinese characters are already one too many), and its fields hold bytes. The
// packer and `sfxpack verify` refuse by the same numbers and the same rule, so the packer never
// makes a package whose pages the installer will not let the user leave.
// Header-only, no library strings: the installer includes it as it is.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/settings_layout.h"

namespace package {

// The length the installer compares with a limit: bytes of GBK text.
constexpr size_t LimitedLength(const char* gbk) {
    size_t length = 0;
    while (gbk[length] != '\0') ++length;
    return length;
}
constexpr bool WithinLimit(const char* gbk, size_t limit) { return LimitedLength(gbk) <= limit; }

// The limits the wizard's read-back checks when a page is left (Next, Back, Browse): over one,
// it shows its length message and the page stays.
constexpr size_t kPageLineLimit = 47;       // every static line of every page
constexpr size_t kAgreementBoxCheck = 528;  // the agreement box
constexpr size_t kFolderLimit = 255;        // the folder page's edit box

// Rooms of the settings fields, in bytes of text; each field holds one byte more for its
// terminator, and the loader cuts what does not fit.
constexpr size_t kNameRoom = 255;      // application name, readme, program to run, file names,
                                       // subfolders, every page line but line 2
constexpr size_t kLongLineRoom = 527;  // page line 2 (the agreement text)
constexpr size_t kProgramRoom = 254;   // a file type's program
constexpr size_t kExtensionRoom = 3;   // a file type's extension, written over its record's start
constexpr size_t kCaptionRoom = 67;    // the background window's caption
constexpr size_t kNumberRoom = 19;     // numbers and flags
constexpr size_t kItemRoom = 531;      // any item: the item list's buffer less its terminator

// The agreement box's check lets 528 bytes pass, but the field that fills the box holds 527:
// a longer text would reach the user cut. The true limit is the smaller.
constexpr size_t kAgreementTextLimit =
    kAgreementBoxCheck < kLongLineRoom ? kAgreementBoxCheck : kLongLineRoom;

// The folder page proposes the Windows drive's root, "Program Files\" and the application
// name, and refuses its own proposal on Next when that passes the folder limit.
constexpr size_t kDefaultFolderPrefix = sizeof "C:\\Program Files\\" - 1;
constexpr size_t kAppNameLimit = kFolderLimit - kDefaultFolderPrefix;

// A file type's registry values, built from the resolved program: "PROGRAM,0" and the open
// command "PROGRAM" "%1", which has 7 bytes besides the program. A value that does not fit is
// not written at all (a cut path would name another program).
constexpr size_t kTypeValueRoom = 255;
constexpr size_t kCommandExtra = 7;
constexpr size_t kCommandProgramLimit = kTypeValueRoom - kCommandExtra;
// The program's own part (kProgramRoom less the shortest folder word and its backslash) fits the
// command below any drive's root; a longer install folder can still push it out.
static_assert(kProgramRoom - (sizeof "SYSTEM_FOLDER" - 1) - 1 + (sizeof "C:\\" - 1) <=
                  kCommandProgramLimit,
              "a program that fits its setting fits the open command below a root");

// Every offset and length in a package is a signed 32-bit number.
constexpr int64_t kLargestPackage = INT32_MAX;

// Room of page line `line`, shown or not.
constexpr size_t PageLineRoom(int line) {
    return line == layout::kAgreementTextLine ? kLongLineRoom : kNameRoom;
}

// What the installer accepts in line `line` of page `page`: the control's limit where the page
// shows the line, the field's room where it does not (the line is then stored to no effect).
constexpr size_t PageLineLimit(int page, int line) {
    if (!layout::PageShowsLine(page, line)) return PageLineRoom(line);
    if (page == layout::kAgreement && line == layout::kAgreementTextLine)
        return kAgreementTextLimit;
    return kPageLineLimit < PageLineRoom(line) ? kPageLineLimit : PageLineRoom(line);
}

// The byte limit of settings item `item` (layout::SettingsItem) and of item `item` of a file
// entry (layout::FileItem). Page lines: PageLineLimit. Unused items: anything an item holds.
constexpr size_t SettingsItemLimit(int item) {
    if (item >= layout::kFirstPageLine && item < layout::kAppName)
        return PageLineLimit(item / layout::kLinesPerPage, item % layout::kLinesPerPage);
    switch (item) {
        case layout::kAppName: return kAppNameLimit;
        case layout::kReadmeFile:
        case layout::kRunProgram: return kNameRoom;
        case layout::kBackgroundCaption: return kCaptionRoom;
        default: break;
    }
    if (item >= layout::kFirstFileType && item < layout::kShowBackground)
        return (item - layout::kFirstFileType) % 2 == 0 ? kProgramRoom : kExtensionRoom;
    switch (layout::SettingsItemForm(item)) {
        case layout::ItemForm::Number:
        case layout::ItemForm::Flag: return kNumberRoom;
        default: return kItemRoom;
    }
}

constexpr size_t FileItemLimit(int item) {
    switch (layout::FileItemForm(item)) {
        case layout::ItemForm::Text: return kNameRoom;
        case layout::ItemForm::Number:
        case layout::ItemForm::Flag: return kNumberRoom;
        default: return kItemRoom;
    }
}

}  // namespace package
