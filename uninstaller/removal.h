// The removal: what unwise.exe takes away after the user said yes, decided here from setup.log
// and setup.lst (both untrusted) and carried out through a small interface to the machine, so
// that every rule is tested on the host. In this order:
//
//   1. the logged links, each only when it is a .lnk directly in the desktop, Start menu or
//      program group folder and its target lies below the install folder; then, in those three
//      folders, the links an earlier installation into this folder made (its log was replaced):
//      a link named as the installer names one for a file (the name up to its first dot, then
//      "lnk") whose target is that file, one the installation wrote;
//   2. the files the installation wrote (setup.lst) below the install folder, a control
//      unregistered first while it is the one installed (else removed without being loaded); files of the Windows and system folders stay for the programs that
//      may share them, and are named. A log without its list (the list was lost: the installer
//      writes the list first) tells written files from the user's files it kept: none goes,
//      each is named;
//   3. of each logged file type, the class's values that still hold what the installation
//      wrote, and the extension's while it names that class and our command was still there:
//      each put back as it was before when the installation replaced one, else removed (the
//      extension's only while nothing else shares its key: ".txt" of Windows holds more); then
//      the keys left empty;
//   4. the folders on the paths of the removed files that are left empty, deepest first;
//   5. when nothing failed: the program group's unwise.lnk, the group folder when empty, and the
//      entry in the system's list of programs.
//
// Nothing is removed that does not lie below the install folder (links aside, which lie in the
// three shell folders), no path is followed through "..", another drive or a reparse point, and
// a folder is only ever removed when empty. When the list of installed programs names another
// application in this folder (two installations merged by an installer of before), nothing is
// removed at all. Portable and without Chinese text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/install_records.h"
#include "platform/file.h"

namespace unwise {

enum class LinkFolder { Desktop, StartMenu, Group };
constexpr int kLinkFolders = 3;

enum class EntryKind {
    Missing,  // nothing there (the file, or a folder on its way, is gone)
    File,
    Folder,
    ReparsePoint,  // a link, junction or mount point: never followed, never removed
    Unknown,       // it cannot be told (no access): the error says why
};

enum class ValueKind { Missing, Text, Other };

// The machine, as the removal needs it. Paths are GBK.
class UninstallSystem {
public:
    virtual ~UninstallSystem() = default;

    // The full path Windows makes of `path` (GetFullPathNameW; short names made long), in GBK
    // exactly; false when there is none or GBK cannot hold it.
    virtual bool FullPath(const char* path, char* full, size_t room) = 0;
    virtual EntryKind Probe(const char* path, platform::ErrorCode* error) = 0;
    // Calls the control's DllUnregisterServer, but only while the file holds the bytes the
    // installation registered (their SHA-256 kept where only administrators write), held so that
    // nothing can change them until it is released again; false when it was not loaded for that.
    virtual bool UnregisterControl(const char* path) = 0;
    virtual bool RemoveFile(const char* path, platform::ErrorCode* error) = 0;
    // Removes an empty folder; a folder that holds anything stays (false).
    virtual bool RemoveFolder(const char* path, platform::ErrorCode* error) = 0;
    // The install folder holds something besides unwise.exe, setup.log and setup.lst.
    virtual bool HoldsOthers(const char* folder) = 0;

    // The GBK forms of a shell folder, without a final backslash, as the finish step logged its
    // links: where GBK cannot hold a character, '?' stands (one form for each way Windows may
    // have put it). Returns how many (at most 2) are in `forms`; 0 when there is no such folder.
    virtual int LinkFolderForms(LinkFolder folder, const char* forms[2]) = 0;
    // The link `name` in that folder; for a File, `target` gets its target path in GBK (empty
    // when it has none, or none that GBK holds).
    virtual EntryKind ProbeLink(LinkFolder folder, const char* name, char* target, size_t room,
                                platform::ErrorCode* error) = 0;
    virtual bool RemoveLink(LinkFolder folder, const char* name, platform::ErrorCode* error) = 0;
    // The names of the .lnk files directly in that folder (those GBK holds).
    virtual void ListLinks(LinkFolder folder, package::LineList* names) = 0;
    // Removes the program group folder when it is empty.
    virtual bool RemoveGroupFolder(platform::ErrorCode* error) = 0;

    // Default values of keys below HKEY_CLASSES_ROOT.
    virtual ValueKind ReadDefaultValue(const char* key, char* value, size_t room) = 0;
    // Writes back the default value of `key` that the installation replaced, as it kept it
    // where only administrators write; NothingKept when it replaced none there. In the order of
    // install::Restored.
    enum class Restore { NothingKept, Restored, Failed };
    virtual Restore RestoreReplacedValue(const char* key, platform::ErrorCode* error) = 0;
    virtual bool DeleteDefaultValue(const char* key, platform::ErrorCode* error) = 0;
    // Deletes the key when it has neither values nor subkeys.
    virtual void DeleteKeyIfEmpty(const char* key) = 0;
    // The key holds its default value and nothing else (no other value, no subkey).
    virtual bool HoldsOnlyDefaultValue(const char* key) = 0;

    // The application's entry in the system's list of installed programs, when it still names
    // this uninstaller; true when it is gone.
    virtual bool RemoveUninstallEntry(platform::ErrorCode* error) = 0;
    // Another entry of that list (under another name) whose install folder is `folder`: its
    // name in `name`.
    virtual bool OtherApplicationIn(const char* folder, char* name, size_t room) = 0;
};

// What the user sees while it runs.
class UninstallView {
public:
    virtual ~UninstallView() = default;
    // The file or link about to be removed.
    virtual void ShowCurrent(const char* text) = 0;
    // Between items: the window answers the system and repaints.
    virtual void KeepAlive() = 0;
};

enum class Subject { File, Link, FileType, Folder, Entry, Application };

enum class Verdict {
    Failed,      // meant to go, and still there (in use, no permission): `error` says why
    Shared,      // a file of the Windows or system folder: left for other programs
    Outside,     // not below the install folder
    NotPlain,    // not a plain full path or name ("..", a wildcard, a second colon, ...)
    NotAFile,    // a folder or a reparse point where a file or link was named
    NotOurLink,  // not a .lnk directly in the desktop, Start menu or program group folder
    LinkTarget,  // a link whose target does not lie below the install folder
    NotEmpty,    // a folder that still holds something
    Unlisted,    // a file of a log whose list is lost: it may be one the installation kept
    Unloaded,    // a control changed since it was installed: removed without being loaded
    OtherApplication,  // another application's entry names the install folder
};

// Everything that stayed, with the reason.
class Report {
public:
    struct Entry {
        Subject subject;
        Verdict verdict;
        platform::ErrorCode error;
    };

    Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    ~Report();

    bool Add(Subject subject, Verdict verdict, platform::ErrorCode error, const char* text);
    int32_t count() const { return texts_.count(); }
    const Entry& entry(int32_t index) const { return entries_[index]; }
    const char* text(int32_t index) const { return texts_.at(index); }
    // Entries that count against "done": all but the shared files and the folders that hold
    // something else (left on purpose), and any that could not be recorded.
    int32_t failures() const { return failures_; }

private:
    package::LineList texts_;
    Entry* entries_ = nullptr;
    int32_t capacity_ = 0;
    int32_t failures_ = 0;
};

// The install folder may be undone: not a drive root, and holding neither the Windows nor the
// system folder (a log copied there with unwise.exe must not reach them).
bool InstallFolderAllowed(const char* installFolder, const char* windowsFolder,
                          const char* systemFolder);

struct RemovalInput {
    const char* installFolder = "";  // full, as Windows resolves it, no final backslash
    const char* windowsFolder = "";  // full, for the shared files
    const char* systemFolder = "";
    const package::InstallLog* log = nullptr;
    const package::LineList* written = nullptr;  // setup.lst; null: the log's files stand in
};

class Removal {
public:
    Removal(const RemovalInput& input, UninstallSystem& system);
    Removal(const Removal&) = delete;
    Removal& operator=(const Removal&) = delete;

    // Steps 1 to 5 above, once; what stayed is in report().
    void Run(UninstallView& view);

    // Everything meant to go is gone: shared files and listed files that were gone already do
    // not count; an entry refused or kept for want of a list does.
    bool done() const { return report_.failures() == 0; }
    const Report& report() const { return report_; }

    // What is left for another run, when something stayed: setup.log with the files, types and
    // links that stayed (and the shared files, to be named again), setup.lst with the same files.
    // The entries refused and the files kept for want of a list are dropped: they were named
    // once, and the next run can finish. False when the records must stay as they are (another
    // application's folder).
    bool Remaining(package::InstallLog* log, package::LineList* written) const;

private:
    void RemoveLinks();
    void RemoveEarlierLinks();
    void RemoveFiles();
    void RemoveFile(const char* line);
    void RemoveFileTypes();
    void RemoveFileType(const char* extension);
    enum class Value { Missing, Theirs, Ours };
    // Our default value of `key` goes: the one the installation replaced is written back, or,
    // when it replaced none, the value is deleted (with `onlyAlone`, only while nothing else
    // shares its key). False when that failed.
    bool PutBack(const char* key, platform::ErrorCode* error, bool onlyAlone = false);
    Value RemoveOurValue(const char* key, bool command, bool* failed, platform::ErrorCode* error);
    void RemoveFolders();
    void Finish();

    // The link folder of a logged link's folder part, or -1.
    int MatchLinkFolder(const char* folder, size_t length);
    // The link's target lies below the install folder.
    bool TargetIsOurs(const char* target);
    // The files the installations wrote: setup.lst (none when it is lost).
    const package::LineList& Files() const;
    // `program` is a program of this installation: below the install folder, or one of its files
    // of the Windows or system folder.
    bool IsOurProgram(const char* program);
    bool IsShared(const char* full) const;
    // One of unwise.exe, setup.log, setup.lst: they go last, outside this run.
    bool IsOwnFile(const char* full) const;
    // Notes the folders from `full`'s up to the install folder (excluded) for step 4.
    void NoteFolders(const char* full);
    // Every folder from the install folder down to `full`'s own is a plain folder.
    EntryKind WalkTo(const char* full, platform::ErrorCode* error);
    void Note(Subject subject, Verdict verdict, platform::ErrorCode error, const char* text);

    const RemovalInput& input_;
    UninstallSystem& system_;
    UninstallView* view_ = nullptr;
    Report report_;
    package::LineList folders_;
    package::LineList none_;
    char lastFolder_[platform::kPathRoom] = {};
    bool otherApplication_ = false;
};

}  // namespace unwise
