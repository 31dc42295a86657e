// What the installer leaves in the install folder for the uninstaller, and what the two say to
// each other through it: the uninstaller's own name and that of its link, and the records
// setup.log (three sections: the packaged files, the file types, the links; every line ends
// with CR CR LF) and setup.lst (the files the installations really created or replaced, one
// full path a line, CR LF). The finish step writes the records; the uninstaller reads them and
// writes what remains, so both take the format from here.
//
// Both records are GBK and, once on disk, untrusted: a user or another program may have edited
// them, so the readers take nothing on trust and say "damaged" rather than guess. Portable,
// without window code and without Chinese text, so that the fuzz build (clang, which cannot
// change the execution character set) can take these readers as they are.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text_buffer.h"

// Each name is written once; the Win32 code compares the UTF-16 form of the same literal.
#define SFX_UNINSTALLER_NAME "unwise.exe"
#define SFX_UNINSTALLER_LINK_NAME "unwise.lnk"
#define SFX_LOG_NAME "setup.log"
#define SFX_WRITTEN_LIST_NAME "setup.lst"

namespace package {

constexpr char kUninstallerName[] = SFX_UNINSTALLER_NAME;
constexpr wchar_t kUninstallerNameWide[] = L"" SFX_UNINSTALLER_NAME;
// The program group's link to the uninstaller.
constexpr char kUninstallerLinkName[] = SFX_UNINSTALLER_LINK_NAME;
constexpr wchar_t kUninstallerLinkNameWide[] = L"" SFX_UNINSTALLER_LINK_NAME;
constexpr char kLogName[] = SFX_LOG_NAME;
constexpr wchar_t kLogNameWide[] = L"" SFX_LOG_NAME;
constexpr char kWrittenListName[] = SFX_WRITTEN_LIST_NAME;
constexpr wchar_t kWrittenListNameWide[] = L"" SFX_WRITTEN_LIST_NAME;

// The largest either record may be: some 100,000 files of ordinary paths fit many times over,
// and a larger file is no installation's record.
constexpr size_t kRecordLimit = 64u * 1024 * 1024;
// The headers of setup.log's sections, and the line ends of the two records.
constexpr char kFileHeader[] = "[FILELIST]";
constexpr char kTypeHeader[] = "[TYPELIST]";
constexpr char kLinkHeader[] = "[SHORTCUTLIST]";
constexpr char kLogLineEnd[] = "\r\r\n";
constexpr char kListLineEnd[] = "\r\n";

// The longest line either file may hold, terminator aside: the longest path the installer
// writes (platform::kPathRoom with its zero).
constexpr size_t kLineLimit = 1023;

// The link file's name for a packaged file: its name up to and including the first ".", then
// "lnk" (viewer.exe gives viewer.lnk, my.tool.exe my.lnk, a name without a dot "lnk"). The
// installer names its links so, and the uninstaller finds an earlier installation's links by it.
bool LinkName(const char* fileName, char* name, size_t room);

// Lines held in one buffer, each with its zero, in the order they were added.
class LineList {
public:
    LineList() = default;
    LineList(const LineList&) = delete;
    LineList& operator=(const LineList&) = delete;
    ~LineList();

    // Copies `length` bytes (no zero among them) as the next line. False when the memory for it
    // cannot be had.
    bool Add(const char* line, size_t length);
    bool Add(const char* line);
    int32_t count() const { return count_; }
    const char* at(int32_t index) const { return text_.data() + starts_[index]; }
    void Clear();

private:
    platform::TextBuffer text_;
    uint32_t* starts_ = nullptr;
    int32_t count_ = 0;
    int32_t capacity_ = 0;
};

// The three sections of setup.log, empty lines left out.
struct InstallLog {
    LineList files;  // [FILELIST]: the destination of every packaged file, written or not
    LineList types;  // [TYPELIST]: extensions without their dot
    LineList links;  // [SHORTCUTLIST]: the full path of every link the finish step attempted
};

enum class RecordResult {
    Read,
    TooLarge,         // more than kRecordLimit bytes
    NotText,          // a zero byte, another control character, or a cut GBK character
    LineTooLong,      // a line of more than kLineLimit bytes
    Unterminated,     // the last line has no line end: the file was cut short
    MissingSections,  // setup.log: not the three headers, each once, in their order
    OutOfMemory,
};

// Where a reader stopped: the result and, when it is not Read, the 1-based line that showed it.
struct RecordStatus {
    RecordResult result = RecordResult::Read;
    int32_t line = 0;
    bool ok() const { return result == RecordResult::Read; }
};

// Line ends: LF, with one or two CR before it (CR CR LF as the installer writes setup.log,
// CR LF as an editor saves it or as setup.lst is written). Empty lines are passed over.
RecordStatus ReadInstallLog(const char* data, size_t size, InstallLog* log);
RecordStatus ReadFileList(const char* data, size_t size, LineList* files);

// setup.log as the finish step builds it, a line at a time: each section's header (the
// sections before it closed by an empty line), then its lines. The extra CR before the CR LF
// belongs to the format: readers of old drop the character before each LF.
enum class LogSection { Files, Types, Links };
bool BeginLogSection(LogSection section, platform::TextBuffer* out);
bool AppendLogLine(const char* line, platform::TextBuffer* out);
// A line of setup.lst.
bool AppendListLine(const char* line, size_t length, platform::TextBuffer* out);

// Whole records, as the uninstaller writes what remains. What a reader takes whole it reads
// back the same once written again.
bool WriteInstallLog(const InstallLog& log, platform::TextBuffer* out);
bool WriteFileList(const LineList& files, platform::TextBuffer* out);

}  // namespace package
