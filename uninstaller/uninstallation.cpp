#include "uninstaller/uninstallation.h"

#include <initializer_list>

#include "platform/gbk.h"
#include "platform/text_win32.h"

namespace unwise {

Uninstallation::Uninstallation(const wchar_t* exePath)
    : exePath_(exePath),
      system_(block_.appName, exePath, installFolder_),
      removal_(input_, system_) {}

bool Uninstallation::RecordPath(const char* name, char* path, size_t room) const {
    return gbk::Copy(path, room, installFolder_) && gbk::Append(path, room, "\\") &&
           gbk::Append(path, room, name);
}

Uninstallation::Start Uninstallation::Prepare() {
    if (package::ReadUninstallerBlock(exePath_, &block_) != package::UninstallerBlockResult::Loaded)
        return Start::NoBlock;

    // The install folder is the one this program lies in, as Windows resolves it (long names):
    // never one that setup.log names.
    wchar_t folder[platform::kPathRoom];
    lstrcpynW(folder, exePath_, platform::kPathRoom);
    int separator = -1;
    for (int i = 0; folder[i]; ++i)
        if (folder[i] == L'\\') separator = i;
    // "C:\unwise.exe" lies in a drive's root, and "C:" alone would be the current folder of C.
    if (separator <= 2) return Start::FolderRefused;
    folder[separator] = L'\0';
    if (!platform::FullLongPath(folder, installFolderWide_, platform::kPathRoom) ||
        !platform::ExactGbk(installFolderWide_, installFolder_, sizeof installFolder_))
        return Start::FolderRefused;
    // Empty when GBK cannot hold one: it then tells no shared file.
    platform::WindowsFolder(windowsFolder_, sizeof windowsFolder_);
    platform::SystemFolder(systemFolder_, sizeof systemFolder_);
    if (!InstallFolderAllowed(installFolder_, windowsFolder_, systemFolder_))
        return Start::FolderRefused;

    const Start log = ReadLog();
    if (log != Start::Ready) return log;
    const Start list = ReadList();
    if (list != Start::Ready) return list;

    input_.installFolder = installFolder_;
    input_.windowsFolder = windowsFolder_;
    input_.systemFolder = systemFolder_;
    input_.log = &log_;
    return Start::Ready;
}

Uninstallation::Start Uninstallation::ReadLog() {
    char path[platform::kPathRoom];
    if (!RecordPath(package::kLogName, path, sizeof path)) return Start::LogDamaged;
    platform::TextBuffer bytes;
    platform::ErrorCode error = 0;
    if (!platform::ReadWholeFile(path, package::kRecordLimit, &bytes, &error))
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Start::LogMissing
                                                                              : Start::LogDamaged;
    return package::ReadInstallLog(bytes.data(), bytes.size(), &log_).ok() ? Start::Ready
                                                                           : Start::LogDamaged;
}

Uninstallation::Start Uninstallation::ReadList() {
    char path[platform::kPathRoom];
    if (!RecordPath(package::kWrittenListName, path, sizeof path)) return Start::ListDamaged;
    platform::TextBuffer bytes;
    platform::ErrorCode error = 0;
    if (!platform::ReadWholeFile(path, package::kRecordLimit, &bytes, &error)) {
        // Without a list (a log from an installer that wrote none) the log's files stand in.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Start::Ready;
        return Start::ListDamaged;
    }
    if (!package::ReadFileList(bytes.data(), bytes.size(), &written_).ok())
        return Start::ListDamaged;
    input_.written = &written_;
    return Start::Ready;
}

bool Uninstallation::WriteRecord(const char* name, const platform::TextBuffer& bytes) {
    char path[platform::kPathRoom];
    platform::WholeFile file;
    return RecordPath(name, path, sizeof path) && file.Begin(path) &&
           file.Finish(bytes.data(), bytes.size()) == platform::WholeFile::Result::Saved;
}

void Uninstallation::Remove(UninstallView& view) {
    removal_.Run(view);
    char path[platform::kPathRoom];
    if (removal_.done()) {
        // Whatever stays of these two, the program that removes unwise.exe takes along.
        for (const char* name : {package::kLogName, package::kWrittenListName}) {
            if (!RecordPath(name, path, sizeof path)) continue;
            platform::SetNormalAttributes(path);
            platform::RemoveFile(path);
        }
        return;
    }
    // What stayed, for the next run: the list first, so that a log is never left without the
    // list it was written with.
    package::InstallLog remaining;
    package::LineList files;
    platform::TextBuffer logBytes;
    platform::TextBuffer listBytes;
    if (removal_.Remaining(&remaining, &files) && package::WriteFileList(files, &listBytes) &&
        package::WriteInstallLog(remaining, &logBytes) &&
        WriteRecord(package::kWrittenListName, listBytes))
        WriteRecord(package::kLogName, logBytes);
}

bool Uninstallation::Summary(platform::TextBuffer* out) {
    return FormatSummary(removal_.report(), system_, out);
}

}  // namespace unwise
