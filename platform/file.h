// Raw and text files, file status and folders: the few file services the installer, the
// uninstaller writer and the publisher's tool rely on. Every operation reports failure by its
// result, and a failed create or write keeps the system's reason (`error()`) for the message.
//
// Two kinds of paths. What the package holds and the pages show (install folders, file names)
// is GBK, `const char*`; the Win32 backend hands it to the W APIs through code page 936. What
// comes from the system and never goes into a package (the running program's own path, the
// temporary folder) is `SysChar`: UTF-16 on Windows, so that an installer in
// C:\Users\김민수\Downloads can open itself, and plain bytes on POSIX.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text_buffer.h"

namespace platform {

#ifdef _WIN32
using SysChar = wchar_t;
#define SYS_TEXT(text) L##text
#else
using SysChar = char;
#define SYS_TEXT(text) text
#endif

// Room for a path of either kind, zero included. Windows' own limit for the W APIs without the
// long-path prefix is 260; the rest is room for a folder the user typed plus a package's names.
constexpr size_t kPathRoom = 1024;

// A system error code: GetLastError() on Windows, errno on POSIX; 0 for none.
using ErrorCode = unsigned long;
// The system's codes for a file too large to take and for memory that cannot be had.
extern const ErrorCode kErrorTooLarge;
extern const ErrorCode kErrorNoMemory;
// The code of a file refused because a link or junction on its way led outside its folder.
extern const ErrorCode kErrorOutside;
// CreateNewIn's code for a file whose folder is not the one held (only where the installer's
// backslashes are no separators: the POSIX host).
extern const ErrorCode kErrorNotInFolder;

class RawFile;

// A folder that files are checked against, as the system resolves it through a handle (links
// and junctions on the way followed; a folder the system redirects for this program, a 32-bit
// one's system folder, redirected). Resolved at the first check that finds it there, since a
// run may have to make it first, and then kept: a run checks thousands of files against one
// folder, and swapping the folder itself for a junction part-way through moves nothing of ours
// elsewhere. Built from the folder's text on purpose, so that a path can be passed wherever a
// check against it is asked for; the text must outlive the object.
class ResolvedFolder {
public:
    ResolvedFolder(const char* folder) : folder_(folder) {}  // NOLINT(google-explicit-constructor)
    const char* path() const { return folder_; }
    // The resolved form, or null while the folder cannot be opened.
    const SysChar* Resolved() const;

private:
    const char* folder_;
    mutable SysChar resolved_[kPathRoom] = {};
};

// A folder held open once its final path was found at or below a base folder. New files are
// created in it relative to the handle, by their name alone: nothing done to the path after the
// check (a folder renamed, a junction put on the way) can send them elsewhere, and no file needs
// a check of its own, which under Wine cost as much as writing a small file. While it is held,
// the folder cannot be renamed or deleted.
class HeldFolder {
public:
    HeldFolder() = default;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    ~HeldFolder() { Release(); }

    // Holds `folder` in place of the one held before; false (holding none) when it cannot be
    // opened or does not lie at or below `base`.
    bool Hold(const char* folder, const ResolvedFolder& base);
    void Release();
    bool held() const;

private:
    friend class RawFile;
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1);
#else
    int fd_ = -1;
#endif
};

class RawFile {
public:
    enum class Origin { Begin, Current, End };

    RawFile() = default;
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Opens for reading; other readers and writers stay allowed.
    bool OpenRead(const char* path);
    // Creates for writing, truncating an existing file.
    bool Create(const char* path);
    // Creates a file that must not exist yet: fails when anything (a file, a folder, a link) is
    // already there, so a name that another program planted is never opened or truncated.
    bool CreateNew(const char* path);
    // CreateNew of the file `path` names, in `folder` (which holds its folder) by its last name.
    bool CreateNewIn(const HeldFolder& folder, const char* path);
    // Opens an existing file for writing without truncating it.
    bool OpenWrite(const char* path);
    // Opens for reading and keeps every other program from writing, renaming or deleting the
    // file while it is open: what the installer checked at start-up is what it installs.
    bool OpenReadLocked(const SysChar* path);
#ifdef _WIN32
    bool OpenRead(const wchar_t* path);
    bool Create(const wchar_t* path);
    bool CreateNew(const wchar_t* path);
#endif

    bool IsOpen() const;
    // Returns the new position, or -1 when the seek was refused (before the start of the file).
    int64_t Seek(int64_t offset, Origin origin);
    int64_t Length() const;
    int64_t Position() const;
    // Reads up to `count` bytes and returns how many were read (0 at the end or on failure).
    size_t Read(void* buffer, size_t count);
    // Writes all `count` bytes; false when the system took fewer (a full disk), with error().
    bool Write(const void* data, size_t count);
    bool Flush();
    // Deletes the open file through its handle (one CreateNewIn made) and closes it; false when
    // it could not be, or on POSIX, where a path is needed.
    bool Discard();
    // True when the open file lies below `folder` (GBK), both as the system resolves them
    // through a handle: links and junctions on the way are followed, and a folder the system
    // redirects for this program (a 32-bit one's system folder) is redirected on both sides.
    bool LiesBelow(const ResolvedFolder& folder) const;
    void Close();

    // The system's reason for the last failed open, create or write.
    ErrorCode error() const { return error_; }

private:
    ErrorCode error_ = 0;
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1);
#else
    int fd_ = -1;
#endif
};

bool PathExists(const char* path);
bool IsFolder(const char* path);
bool RemoveFile(const char* path);
// Clears read-only and similar attributes so that the file can be replaced or deleted.
void SetNormalAttributes(const char* path);
// True when the existing folder `folder` lies below `base`, both as the system resolves them
// through a handle (see RawFile::LiesBelow).
bool FolderLiesBelow(const char* folder, const ResolvedFolder& base);
// Creates one folder level; true when it was created.
bool CreateFolder(const char* path);

#ifdef _WIN32
// Removes the file (or, with `folder`, the empty folder) at `path` through one handle: opened
// without following a link, junction or mount point (one there is refused, never removed), its
// final path checked against `base` (kErrorOutside when it does not lie below), its read-only
// attribute cleared, and deleted through that handle. What a name leads to between a check and
// a deletion by name can change; what a handle holds cannot.
bool RemoveThroughHandle(const char* path, bool folder, const ResolvedFolder& base,
                         ErrorCode* error);
#endif

// The user's temporary folder, ending with its separator. False when the system names none or
// it does not fit: never the current folder, which for an elevated installer may be the system
// folder.
bool TempFolder(SysChar* folder, size_t room);

// Creates a new, empty file of this process's own in `folder` (ending with its separator),
// named after `stem` ("qorv" gives qorv-PID-N.tmp), and opens it for writing and reading. A name
// that is taken (another program's file or folder, a leftover of an earlier run) is passed over
// and left alone. `path` receives the name for the later removal.
bool CreateTempFile(const SysChar* folder, const char* stem, RawFile* file, SysChar* path,
                    size_t room);
bool RemoveSysFile(const SysChar* path);

// The full path that Windows makes of `path` (GetFullPathNameW): "/" taken for "\", "." and
// ".." resolved, the dot or space that Windows drops from the end of a name dropped, a device
// name ("con", "nul.txt") as "\\.\NAME". Only the text counts, never the disk. The POSIX
// backend applies the same rules to the text (either separator; the result has "\"), so that
// the portable checks run in the tests. False when the result does not fit or `path` is not
// absolute.
bool FullPath(const char* path, char* full, size_t room);

// Puts the complete file `from` in the place of `to`, replacing what is there in one step: a
// reader never sees half a file, and a failure leaves `to` as it was. `error` gets the reason.
bool MoveIntoPlace(const char* from, const char* to, ErrorCode* error);

// Creates the new file that a complete copy of `path` is written to before MoveIntoPlace gives
// it the name: beside it, so the move stays on one volume, as "NAME.sfx-new", then numbered,
// never a name that is taken. `sibling` receives its name; false (with file->error() when the
// system said why) when none can be made.
bool CreateSibling(const char* path, char* sibling, size_t room, RawFile* file);

// The one way a file of ours takes the place of another: the new file is written beside it
// ("NAME.sfx-new", never a name that is taken), then renamed over it in one step, so a reader
// never sees half a file. On any failure, and when the object goes unplaced, the old file keeps
// what it held and the new one is removed.
class WholeFile {
public:
    enum class Result { Saved, CannotWrite, CannotReplace };
    // What the placing does beyond the rename: push the bytes to the disk first, so that a power
    // cut soon after cannot leave an empty file where the old one was; make a read-only old file
    // writable (our own records and uninstaller), or refuse to replace it (a user's file, as
    // Windows refuses).
    // kFlushReplacement flushes only when a file is there to be replaced: a new file lost to a
    // power cut costs nothing that was there, and flushing every new one would cost much.
    enum Option : unsigned { kFlush = 1, kReplaceReadOnly = 2, kFlushReplacement = 4 };

    WholeFile() = default;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;
    ~WholeFile();

    // Where a file that is not there yet is written. Beside it, as a replacement is, it comes
    // into place whole or not at all. In place (CREATE_NEW under its own name) it costs no
    // second name and no rename, the larger part of writing a small file; a failure the run
    // sees removes it again, but a process killed or a machine stopped part-way leaves the file
    // cut short under its name. The system does not write a new file's data to the disk before
    // its name either, so even a renamed new file can be found empty after a power cut; what is
    // there already is never at stake, since a file that exists is always replaced from beside.
    enum class NewFile { Beside, InPlace };

    // Creates the new file beside `path`, or with NewFile::InPlace under `path` itself when
    // nothing is there; false when none can be made (error()). With `within`, also when the new
    // file does not lie below that folder (a link or junction on the way): it is removed again,
    // nothing having been written into it, and error() is kErrorOutside.
    bool Begin(const char* path, const ResolvedFolder* within = nullptr,
               NewFile newFile = NewFile::Beside);
    // Begin with NewFile::InPlace, where a new file is made in `folder` (the folder of `path`,
    // held after its check against `within`) and needs no check of its own.
    bool Begin(const char* path, const ResolvedFolder* within, const HeldFolder& folder);
    bool Begin(const char* path, const char* within) {
        const ResolvedFolder folder(within);
        return Begin(path, &folder);
    }
    // The new file, for a writer that streams into it.
    RawFile& file() { return file_; }
    // Closes the new file and puts it in place.
    Result Place(unsigned options);
    // A complete text: written, flushed, and put in place over a read-only old file too.
    Result Finish(const char* text, size_t size);
    // The system's reason for the last failure.
    ErrorCode error() const { return error_; }
    // The new file's name until it is in place, else empty.
    const char* sibling() const { return sibling_; }

private:
    enum class Old { Unknown, Absent, Present };
    // After CREATE_NEW was refused: what is under the name is replaced from beside; any other
    // refusal (no permission) would refuse a sibling alike, and is the answer.
    bool BesideWhenThere(const char* path, const ResolvedFolder* within);
    char path_[kPathRoom] = {};
    char sibling_[kPathRoom] = {};
    RawFile file_;
    ErrorCode error_ = 0;
    Old old_ = Old::Unknown;
    bool inHeld_ = false;  // made in place in a HeldFolder
};

// Reads the whole file into `out` (emptied first); false, with the system's reason in `error`,
// when it cannot be read or has more than `limit` bytes.
bool ReadWholeFile(const char* path, size_t limit, TextBuffer* out, ErrorCode* error);

}  // namespace platform
