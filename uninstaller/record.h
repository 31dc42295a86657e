// What the installation left for the uninstaller beside unwise.exe, read from bytes and written
// back: `setup.log` (three sections: the packaged files, the file types, the links; every line
// ends with CR CR LF) and `setup.lst` (the files the installation really created or replaced,
// one full path a line, CR LF). Both are GBK and both are untrusted: a user or another program
// may have edited them, so the readers take nothing on trust and say "damaged" rather than
// guess. Portable, without window code and without Chinese text, so that the fuzz build (clang,
// which cannot change the execution character set) can take these readers as they are.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/install_records.h"
#include "platform/text_buffer.h"

namespace unwise {

// The longest line either file may hold, terminator aside: the longest path the installer
// writes (platform::kPathRoom with its zero).
constexpr size_t kLineLimit = 1023;
using package::kRecordLimit;

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

// The files as the finish step writes them: setup.log with CR CR LF after every line and an
// empty line closing the first two sections, setup.lst with CR LF. What a reader takes whole
// it reads back the same once written again.
bool WriteInstallLog(const InstallLog& log, platform::TextBuffer* out);
bool WriteFileList(const LineList& files, platform::TextBuffer* out);

}  // namespace unwise
