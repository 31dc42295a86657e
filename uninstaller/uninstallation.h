// One run of unwise.exe, without its window: what it reads before it asks anything (its block,
// the install folder it lies in, setup.log and setup.lst beside it), the removal, and what it
// leaves for another run when something stayed. The dialog shows it; /S runs the same steps
// with a view that shows nothing and ends with the same exit codes.
#pragma once

#include <windows.h>

#include "package/install_records.h"
#include "package/uninstaller_block.h"
#include "platform/file.h"
#include "uninstaller/removal.h"
#include "uninstaller/windows_system.h"

namespace unwise {

class Uninstallation {
public:
    enum class Start {
        Ready,
        NoBlock,        // no block, or a damaged one
        FolderRefused,  // a drive root, the Windows or system folder, or a name GBK cannot hold
        LogMissing,
        LogDamaged,   // setup.log cannot be read or is not one the finish step wrote
        ListDamaged,  // setup.lst is there but cannot be read or is damaged
    };

    // `exePath`: the running unwise.exe, as the system gives it; outlives the object.
    explicit Uninstallation(const wchar_t* exePath);
    Uninstallation(const Uninstallation&) = delete;
    Uninstallation& operator=(const Uninstallation&) = delete;

    // Reads everything the removal needs; removes nothing.
    Start Prepare();
    const package::UninstallerBlock& block() const { return block_; }
    const wchar_t* installFolder() const { return installFolderWide_; }

    // The removal; then setup.log and setup.lst go when everything else went, or are written
    // anew with what stayed.
    void Remove(UninstallView& view);
    bool done() const { return removal_.done(); }
    // The summary of what stayed (empty when nothing did).
    bool Summary(platform::TextBuffer* out);

private:
    Start ReadLog();
    Start ReadList();
    // Writes `bytes` as the file `name` of the install folder, in place only when complete.
    bool WriteRecord(const char* name, const platform::TextBuffer& bytes);
    bool RecordPath(const char* name, char* path, size_t room) const;

    const wchar_t* exePath_;
    package::UninstallerBlock block_;
    wchar_t installFolderWide_[platform::kPathRoom] = {};
    char installFolder_[platform::kPathRoom] = {};
    char windowsFolder_[platform::kPathRoom] = {};
    char systemFolder_[platform::kPathRoom] = {};
    package::InstallLog log_;
    package::LineList written_;
    RemovalInput input_;
    WindowsSystem system_;
    Removal removal_;
};

}  // namespace unwise
