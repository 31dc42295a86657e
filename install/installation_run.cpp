#include "install/installation_run.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "archive/archive_reader.h"
#include "install/time_estimate.h"
#include "package/package_sum.h"
#include "platform/file_block.h"
#include "platform/gbk.h"
#include "resources/setup_texts.h"

namespace install {

namespace {
constexpr uint32_t kPause = 500;
constexpr int32_t kShortPath = 36;

bool IsControl(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (!dot) return false;
    const char* extension = dot + 1;
    return (extension[0] | 0x20) == 'o' && (extension[1] | 0x20) == 'c' &&
           (extension[2] | 0x20) == 'x' && extension[3] == '\0';
}

// The files of a solid archive each name the whole archive: each weighs what it holds.
int64_t Weight(const package::FileEntry& entry) {
    return entry.solidPart >= 0 ? int64_t{entry.solidSize} : entry.dataLength;
}
}  // namespace

bool WrittenFiles::Add(const char* path) {
    if (!text_.AppendLine(path, "\n")) return false;
    ++count_;
    return true;
}

InstallationRun::InstallationRun(package::SetupModel& model, const BaseFolders& folders,
                                 RunView& view, RunSystem& system)
    : model_(model),
      folders_(folders),
      installBase_(folders.pageInstallDir),
      windowsBase_(folders.windowsDir),
      systemBase_(folders.systemDir),
      view_(view),
      system_(system),
      copyBuffer_(new (std::nothrow) unsigned char[kCopyBuffer]) {}

bool InstallationRun::InLastFolder(const char* path) const {
    const size_t folderEnd = gbk::LastBackslash(path);
    return folderEnd != gbk::kNotFound && std::strncmp(path, lastFolder_, folderEnd) == 0 &&
           lastFolder_[folderEnd] == '\0';
}

const platform::ResolvedFolder& InstallationRun::BaseOf(int32_t folderKind) const {
    if (folderKind == package::kFolderWindows) return windowsBase_;
    if (folderKind == package::kFolderSystem) return systemBase_;
    return installBase_;
}

bool InstallationRun::WriteEntry(const package::FileEntry& entry, const char* path,
                                 WriteFailure* failure, uint32_t* crc, uint64_t* written) {
    platform::WholeFile whole;
    // A link or junction that someone put on the way would carry the file out of its folder.
    // A file that is not there is written under its name: no second name and no rename for each
    // of thousands of small files (see NewFile for what a crash part-way leaves).
    // In the folder PrepareDestination holds, when it is this file's.
    const bool inHeld = folder_.held() && InLastFolder(path);
    if (!(inHeld ? whole.Begin(path, &BaseOf(entry.folderKind), folder_)
                 : whole.Begin(path, &BaseOf(entry.folderKind),
                               platform::WholeFile::NewFile::InPlace))) {
        *failure = WriteFailure{WriteFailure::CannotCreate, whole.error()};
        return false;
    }
    platform::RawFile& out = whole.file();
    // The installer reads every file through the package it opened and checked at start-up; a
    // caller without one (a test, a tool) has the package opened once, by its path.
    platform::RawFile* package = model_.packageFile;
    if (!package) {
        if (!ownPackage_.IsOpen()) ownPackage_.OpenRead(model_.exePath);
        package = &ownPackage_;
    }
    bool complete;
    if (entry.compressed) {
        struct CountingSink : archive::FileSink {
            using FileSink::FileSink;
            uint64_t count = 0;
            bool Write(const unsigned char* data, size_t size) override {
                count += size;
                return FileSink::Write(data, size);
            }
        } sink(out);
        if (!decoder_) decoder_.reset(new (std::nothrow) archive::FileDecoder(*package));
        archive::ExtractResult result;
        result.refusal = archive::Refusal::BadStream;
        if (decoder_)
            result = decoder_->Decode(entry.dataOffset, entry.dataLength, entry.solidPart, sink);
        complete = result.ok();
        *written = sink.count;
        if (!complete)
            *failure = result.refusal == archive::Refusal::CannotWrite
                           ? WriteFailure{WriteFailure::CannotWrite, out.error()}
                       : result.refusal == archive::Refusal::CannotOpen
                           ? WriteFailure{WriteFailure::CannotRead, 0}
                           : WriteFailure{WriteFailure::DamagedData, 0};
        // A stream that ends early in a package our packer wrote is damage its checksum could
        // not see (the file was damaged when it was packed): never a short file.
        if (complete && sink.count != result.uncompressedSize) {
            if (model_.checksumMarked) {
                complete = false;
                *failure = WriteFailure{WriteFailure::DamagedData, 0};
            } else {
                view_.SizeMismatch(path, static_cast<uint32_t>(sink.count),
                                   result.uncompressedSize);
            }
        }
    } else {
        complete = platform::CopyFileRange(out, *package, entry.dataOffset, entry.dataLength,
                                           copyBuffer_.get(), copyBuffer_ ? kCopyBuffer : 0);
        *written = static_cast<uint64_t>(entry.dataLength);
        if (!complete)
            *failure = out.error() != 0 ? WriteFailure{WriteFailure::CannotWrite, out.error()}
                                        : WriteFailure{WriteFailure::CannotRead, 0};
    }
    if (complete && crc &&
        package::SumOfRange(out, 0, out.Length(), crc) != package::SumResult::Match) {
        complete = false;
        *failure = WriteFailure{WriteFailure::CannotWrite, out.error()};
    }
    // A user's read-only file is refused, as Windows refuses it. Whatever failed, the old file is
    // untouched and no part of the new one is left behind.
    // An update's file is on the disk before it replaces the old one: a power cut soon after
    // must not leave an empty file where a good one was.
    if (complete &&
        whole.Place(platform::WholeFile::kFlushReplacement) != platform::WholeFile::Result::Saved) {
        complete = false;
        *failure = WriteFailure{WriteFailure::CannotReplace, whole.error()};
    }
    return complete;
}

InstallationRun::Destination InstallationRun::PrepareDestination(int32_t index, char* path,
                                                                 size_t room) {
    if (!DestinationPath(folders_, model_.fileList, index, false, path, room))
        return Destination::TooLong;
    // The start-up refused every package whose paths could leave their folders; this is the
    // second line, against the folders the user really chose, before a folder is made.
    if (!EntryStaysInside(folders_, *model_.fileList.Current())) return Destination::Outside;
    const size_t folderEnd = gbk::LastBackslash(path);
    if (folderEnd == gbk::kNotFound) return Destination::Ready;
    if (!InLastFolder(path)) {
        const platform::ResolvedFolder& base = BaseOf(model_.fileList.Current()->folderKind);
        CreateFolderTree(path, base);
        gbk::CopyBytes(lastFolder_, sizeof lastFolder_, path, folderEnd);
        // Checked once for all its files; one that cannot be held leaves each file to be
        // checked on its own.
        folder_.Hold(lastFolder_, base);
    }
    return Destination::Ready;
}

bool InstallationRun::InstallFile(int32_t index) {
    char path[platform::kPathRoom];
    const Destination destination = PrepareDestination(index, path, sizeof path);
    return InstallAt(index, path, destination);
}

bool InstallationRun::InstallAt(int32_t index, const char* path, Destination destination) {
    model_.fileList.SeekTo(index);
    const package::FileEntry* current = model_.fileList.Current();
    if (!current) return false;
    const package::FileEntry entry = *current;
    if (destination != Destination::Ready) {
        const WriteFailure failure{destination == Destination::TooLong ? WriteFailure::PathTooLong
                                                                       : WriteFailure::DamagedData,
                                   0};
        if (view_.AskAfterFailure(path, failure) == FailureChoice::Stop) stopped_ = true;
        view_.FileDone(path, FileOutcome::Failed);
        return false;
    }

    // Only the modes that keep or ask need to know whether the file is there.
    bool write = true;
    if (entry.overwriteMode != package::kOverwriteAlways && platform::PathExists(path)) {
        if (entry.overwriteMode == package::kOverwriteAsk) {
            char question[platform::kPathRoom + 64];
            gbk::Copy(question, sizeof question, text::kOverwriteBefore);
            gbk::Append(question, sizeof question, path);
            gbk::Append(question, sizeof question, text::kOverwriteAfter);
            write = view_.AskOverwrite(question);
        } else {
            write = entry.overwriteMode != package::kOverwriteIfMissing;
        }
    }

    bool inPlace = true;
    const bool control = IsControl(path);
    uint32_t crc = 0;
    if (write) {
        for (;;) {
            WriteFailure failure;
            uint64_t bytes = 0;
            if (WriteEntry(entry, path, &failure, control ? &crc : nullptr, &bytes)) {
                written_.Add(path);
                written_.AddBytes(bytes);
                break;
            }
            const FailureChoice choice = view_.AskAfterFailure(path, failure);
            if (choice == FailureChoice::Retry) continue;
            if (choice == FailureChoice::Stop) stopped_ = true;
            inPlace = false;
            break;
        }
    }
    if (!write) {
        platform::RawFile kept;
        if (kept.OpenRead(path)) written_.AddBytes(static_cast<uint64_t>(kept.Length()));
    }
    view_.FileDone(path, !write    ? FileOutcome::Kept
                         : inPlace ? FileOutcome::Written
                                   : FileOutcome::Failed);
    // Only a control this run put in place is loaded: one that was there already (kept, or left
    // after a failed write) may be anyone's, and would run with the installer's rights.
    if (control && write && inPlace) system_.RegisterServer(path, crc);
    return inPlace;
}

RunResult InstallationRun::Run() {
    RunResult result;
    view_.SetTimeLine(text::kEstimating);
    view_.SetStatus(text::kGettingFileInfo);
    package::FileList& files = model_.fileList;
    int64_t total = 0;
    for (int32_t i = 0; i < files.count; ++i) {
        files.SeekTo(i);
        total += Weight(*files.Current());
    }
    const double scale = static_cast<double>(total) * 0.001;
    TimeEstimate estimate(total);
    char line[128];
    char shown[128] = "";
    view_.Pause(kPause);

    const uint32_t t0 = view_.Ticks();
    int64_t done = 0;
    for (int32_t i = 0; i < files.count; ++i) {
        files.SeekTo(i);
        const int64_t length = Weight(*files.Current());
        char path[platform::kPathRoom];
        if (stopped_) {
            // Stop ends the copying: what was not attempted is missing, and the bar still
            // arrives at the end with the closing steps.
            ++result.missing;
            done += length;
            DestinationPath(folders_, files, i, false, path, sizeof path);
            view_.FileDone(path, FileOutcome::NotInstalled);
            continue;
        }
        char status[96];
        const Destination destination = PrepareDestination(i, path, sizeof path);
        char shortPath[platform::kPathRoom];
        ShortenPathForDisplay(path, kShortPath, shortPath, sizeof shortPath);
        gbk::Copy(status, sizeof status, text::kCopyingTo);
        gbk::Append(status, sizeof status, shortPath);
        gbk::Append(status, sizeof status, " ");
        view_.SetStatus(status);

        if (!InstallAt(i, path, destination)) ++result.missing;
        done += length;
        if (estimate.Update(done, view_.Ticks() - t0, line, sizeof line) &&
            std::strcmp(line, shown) != 0) {
            view_.SetTimeLine(line);
            gbk::Copy(shown, sizeof shown, line);
        }
        if (scale > 0) view_.SetBar(static_cast<int>(static_cast<double>(done) / scale));
        view_.KeepAlive();
    }
    result.stopped = stopped_;

    platform::ErrorCode error = 0;
    result.uninstallerWritten = system_.WriteUninstaller(&error);
    if (!result.uninstallerWritten) view_.ShowMessage(text::kUninstallerFailed);

    const package::FileTypeEntry* types = model_.fileTypes;
    if (types[0].extension[0] || types[1].extension[0]) {
        view_.SetStatus(text::kAssociating);
        view_.Pause(kPause);
    }
    for (int i = 0; i < package::layout::kFileTypes; ++i) {
        if (!types[i].extension[0]) continue;
        char program[platform::kPathRoom];
        if (ResolveFolderWord(folders_, types[i].program, program, sizeof program) &&
            SettingStaysInside(folders_, types[i].program))
            system_.RegisterFileType(types[i].extension, program);
    }

    if (result.missing > 0) {
        char status[96];
        char count[24];
        gbk::FormatDecimal(result.missing, count);
        gbk::Copy(status, sizeof status, text::kDoneMissingBefore);
        gbk::Append(status, sizeof status, count);
        gbk::Append(status, sizeof status, text::kDoneMissingAfter);
        view_.SetStatus(status);
    } else {
        view_.SetStatus(text::kDone);
    }
    view_.SetTimeLine(text::kNoTimeLeft);
    view_.SetBar(1000);
    view_.StopAnimation();
    view_.Pause(kPause);
    view_.ShowFinishPage();
    return result;
}

}  // namespace install
