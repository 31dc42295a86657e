// The removal's machine on Windows: files and folders through the W APIs (GBK paths converted
// with code page 936), the three shell folders in UTF-16 as the system names them, links read
// through the shell's link object, HKEY_CLASSES_ROOT, and the entry in the list of programs.
#pragma once

#include <windows.h>

#include "platform/file.h"
#include "uninstaller/removal.h"
#include "uninstaller/summary.h"

namespace unwise {

class WindowsSystem : public UninstallSystem, public ReasonSource {
public:
    // `appName` (GBK, from the block) names the program group and the entry; `uninstaller` is
    // the full path of the running unwise.exe; `installFolder` (GBK, full) is where files and
    // folders may be removed, resolved at the first removal. All outlive the object.
    WindowsSystem(const char* appName, const wchar_t* uninstaller, const char* installFolder);

    bool FullPath(const char* path, char* full, size_t room) override;
    EntryKind Probe(const char* path, platform::ErrorCode* error) override;
    bool UnregisterControl(const char* path) override;
    bool RemoveFile(const char* path, platform::ErrorCode* error) override;
    bool RemoveFolder(const char* path, platform::ErrorCode* error) override;
    bool HoldsOthers(const char* folder) override;
    int LinkFolderForms(LinkFolder folder, const char* forms[2]) override;
    EntryKind ProbeLink(LinkFolder folder, const char* name, char* target, size_t room,
                        platform::ErrorCode* error) override;
    bool RemoveLink(LinkFolder folder, const char* name, platform::ErrorCode* error) override;
    void ListLinks(LinkFolder folder, package::LineList* names) override;
    bool RemoveGroupFolder(platform::ErrorCode* error) override;
    ValueKind ReadDefaultValue(const char* key, char* value, size_t room) override;
    Restore RestoreReplacedValue(const char* key, platform::ErrorCode* error) override;
    bool DeleteDefaultValue(const char* key, platform::ErrorCode* error) override;
    void DeleteKeyIfEmpty(const char* key) override;
    bool HoldsOnlyDefaultValue(const char* key) override;
    bool RemoveUninstallEntry(platform::ErrorCode* error) override;
    bool OtherApplicationIn(const char* folder, char* name, size_t room) override;

    void Describe(platform::ErrorCode error, char* text, size_t room) override;

private:
    // The shell folders, found on first use; false when the system has none.
    bool LinkFolderPath(LinkFolder folder, wchar_t* path, size_t room);
    bool LinkPath(LinkFolder folder, const char* name, wchar_t* path, size_t room);
    void FindLinkFolders();

    const char* appName_;
    const wchar_t* uninstaller_;
    const platform::ResolvedFolder installFolder_;
    bool foldersFound_ = false;
    wchar_t linkFolders_[kLinkFolders][MAX_PATH] = {};
    char forms_[kLinkFolders][2][platform::kPathRoom] = {};
    int formCount_[kLinkFolders] = {};
};

}  // namespace unwise
