// The installation run: every packaged file in list order (overwrite policy, stored copy or
// decoding, self-registration of controls), with the status line, the bar and the remaining
// time current after each, then the uninstaller, the file types and the end state. The run
// knows no window: the progress page is a RunView, the registry and the uninstaller a
// RunSystem, so the policy, the failures and the estimate are tested without either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/solid_stream.h"
#include "install/path_rules.h"
#include "package/setup_model.h"
#include "platform/file.h"

namespace install {

// Why a file could not be written.
struct WriteFailure {
    enum Kind {
        CannotCreate,   // no file could be made in the folder
        CannotWrite,    // a write failed (a full disk)
        CannotReplace,  // the complete file could not take the old one's place (in use)
        DamagedData,    // the package's data for the file is damaged
        CannotRead,     // the package itself could not be read
        PathTooLong,    // the destination does not fit a path
    };
    Kind kind = CannotWrite;
    platform::ErrorCode error = 0;  // the system's reason, when there is one
};

enum class FailureChoice { Retry, Skip, Stop };

// What became of one packaged file.
enum class FileOutcome {
    Written,       // created or replaced
    Kept,          // it was there, and the overwrite mode or the user kept it
    Failed,        // not written: skipped after a failure
    NotInstalled,  // not attempted: the copying was stopped before it
};

class RunView {
public:
    virtual ~RunView() = default;
    virtual void SetStatus(const char* text) = 0;
    virtual void SetTimeLine(const char* text) = 0;
    virtual void SetBar(int position) = 0;  // 0 to 1000
    virtual void StopAnimation() = 0;
    // The overwrite question; true for the first button, "覆盖".
    virtual bool AskOverwrite(const char* question) = 0;
    // A file that could not be written, by its full path: try again, skip it, or stop copying.
    virtual FailureChoice AskAfterFailure(const char* path, const WriteFailure& failure) = 0;
    virtual void ShowMessage(const char* text) = 0;
    virtual uint32_t Ticks() = 0;
    // Waits, answering the system meanwhile; user input keeps waiting.
    virtual void Pause(uint32_t milliseconds) = 0;
    // Between files: the window answers the system and repaints, and nothing else happens.
    virtual void KeepAlive() = 0;
    virtual void ShowFinishPage() = 0;
    // For a report of the run; the page has no use for it.
    virtual void FileDone(const char* path, FileOutcome outcome) {
        (void)path;
        (void)outcome;
    }
    // A compressed file that decoded to another length than its archive says, in a package
    // that carries no checksum: installed as the format wants, and told to the report.
    virtual void SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) {
        (void)path;
        (void)decoded;
        (void)expected;
    }
};

class RunSystem {
public:
    virtual ~RunSystem() = default;
    // Registers the control this run wrote at `path`, whose bytes had the CRC-32 `crc`.
    virtual bool RegisterServer(const char* path, uint32_t crc) = 0;
    virtual void RegisterFileType(const char* extension, const char* program) = 0;
    virtual bool WriteUninstaller(platform::ErrorCode* error) = 0;
};

// The files a run created or replaced, in order: what the uninstaller may remove.
class WrittenFiles {
public:
    // False when the memory for it cannot be had.
    bool Add(const char* path);
    int32_t count() const { return count_; }
    // The paths, each followed by a line feed.
    const char* text() const { return text_.data(); }
    // The bytes of the package's files where the run leaves them: those it wrote and those it
    // kept, for the size the list of installed programs shows (counted on the way, rather than
    // asking the disk for thousands of files again at the end).
    void AddBytes(uint64_t bytes) { bytes_ += bytes; }
    uint64_t bytes() const { return bytes_; }

private:
    platform::TextBuffer text_;
    int32_t count_ = 0;
    uint64_t bytes_ = 0;
};

struct RunResult {
    int32_t missing = 0;  // files not installed: failed, skipped after a failure, or stopped
    bool stopped = false;
    bool uninstallerWritten = false;
};

class InstallationRun {
public:
    // Stored files are copied through a buffer of this size: under Wine a 4 KB buffer (the
    // one the package's own pieces use) made the copy of a 100 MB tree markedly slower, and
    // larger buffers than this gained nothing more.
    static constexpr size_t kCopyBuffer = 64 * 1024;

    InstallationRun(package::SetupModel& model, const BaseFolders& folders, RunView& view,
                    RunSystem& system);
    InstallationRun(const InstallationRun&) = delete;
    InstallationRun& operator=(const InstallationRun&) = delete;

    RunResult Run();
    // One file: true when it is in place (written, or kept as the policy or the user chose).
    bool InstallFile(int32_t index);

    const WrittenFiles& written() const { return written_; }

private:
    enum class Destination { Ready, TooLong, Outside };
    // `crc`, when given, receives the CRC-32 of the bytes written.
    bool WriteEntry(const package::FileEntry& entry, const char* path, WriteFailure* failure,
                    uint32_t* crc, uint64_t* written);
    // The destination of entry `index` with its folders made; nothing is made for a path that
    // does not fit or that leaves its base folder.
    Destination PrepareDestination(int32_t index, char* path, size_t room);
    // InstallFile with the destination the run has already prepared for the status line.
    bool InstallAt(int32_t index, const char* path, Destination destination);
    const platform::ResolvedFolder& BaseOf(int32_t folderKind) const;
    // `path` lies directly in lastFolder_.
    bool InLastFolder(const char* path) const;

    package::SetupModel& model_;
    const BaseFolders& folders_;
    // Every destination is checked against where its base folder was when the run first used it.
    const platform::ResolvedFolder installBase_, windowsBase_, systemBase_;
    RunView& view_;
    RunSystem& system_;
    WrittenFiles written_;
    bool stopped_ = false;
    // Without it (no memory) stored files go through the small buffer of CopyFileRange.
    std::unique_ptr<unsigned char[]> copyBuffer_;
    // Every compressed file through one: thousands of small files each paid for fresh decoders,
    // and a solid stream is decoded once. Made with the first such file.
    std::unique_ptr<archive::FileDecoder> decoder_;
    platform::RawFile ownPackage_;  // the package by its path, when the model holds none open
    // The folder of the last destination: files of one folder follow each other, and its levels
    // need not be probed again for each. New files are made in it through folder_.
    char lastFolder_[platform::kPathRoom] = {};
    platform::HeldFolder folder_;
};

}  // namespace install
