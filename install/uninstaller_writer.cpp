#include "install/uninstaller_writer.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "archive/archive_reader.h"
#include "package/scramble.h"
#include "package/trailer.h"
#include "package/uninstaller_block.h"
#include "platform/file_block.h"
#include "platform/gbk.h"
#include "platform/resource.h"

namespace install {

namespace {
// The new unwise.exe while it is written: a file of its own beside the old one, removed again
// unless it took the uninstaller's name, so an earlier unwise.exe stays whole until the new one
// is.
// Copies a piece of the installer (the wizard picture, the icon) and tells where it landed. A
// piece that does not lie inside the installer is left out, as the installer's own start-up
// leaves out a picture it cannot read: the uninstaller then goes without it. False only when
// the copy itself fails.
bool CopyPiece(platform::RawFile& out, platform::RawFile& installer, int32_t length, int32_t offset,
               int64_t* position, int32_t* copiedLength, int32_t* copiedOffset) {
    *copiedOffset = static_cast<int32_t>(*position);
    *copiedLength = 0;
    const bool present = length > 0 && offset >= 0 && installer.IsOpen() &&
                         static_cast<int64_t>(offset) + length <= installer.Length() &&
                         *position + length <= INT32_MAX;
    if (!present) return true;
    if (!platform::CopyFileRange(out, installer, offset, length)) return false;
    *copiedLength = length;
    *position += length;
    return true;
}

bool Fail(platform::ErrorCode* error, platform::ErrorCode reason) {
    *error = reason;
    return false;
}
}  // namespace

bool WriteUninstallerFrom(const unsigned char* archive, size_t archiveSize,
                          const package::SetupModel& model, const char* installDir,
                          platform::ErrorCode* error) {
    char target[platform::kPathRoom];
    if (!gbk::Copy(target, sizeof target, installDir) ||
        (!gbk::EndsWithBackslash(target) && !gbk::Append(target, sizeof target, "\\")) ||
        !gbk::Append(target, sizeof target, kUninstallerName))
        return Fail(error, ERROR_FILENAME_EXCED_RANGE);

    platform::WholeFile pending;
    platform::RawFile& out = pending.file();
    if (!pending.Begin(target, installDir))
        return Fail(error, pending.error() ? pending.error() : ERROR_FILENAME_EXCED_RANGE);

    // The program, decoded straight from the archive's bytes: no copy of it anywhere else.
    archive::FileSink sink(out);
    const archive::ExtractResult decoded =
        archive::DecodeArchiveBytes(archive, archive ? archiveSize : 0, 0, sink);
    if (decoded.refusal == archive::Refusal::CannotWrite) return Fail(error, out.error());
    int64_t position = out.Position();
    // An archive that yields no program is as damaged as one that is refused.
    if (!decoded.ok() || position <= 0) return Fail(error, ERROR_INVALID_DATA);

    package::UninstallerBlock block;
    platform::RawFile own;
    if (!model.packageFile) own.OpenRead(model.exePath);
    platform::RawFile& installer = model.packageFile ? *model.packageFile : own;
    if (!CopyPiece(out, installer, model.pictureLength, model.pictureOffset, &position,
                   &block.pictureLength, &block.pictureOffset) ||
        !CopyPiece(out, installer, model.iconLength, model.iconOffset, &position, &block.iconLength,
                   &block.iconOffset))
        return Fail(error, out.error() ? out.error() : ERROR_READ_FAULT);
    own.Close();

    gbk::Copy(block.appName, sizeof block.appName, model.appName);
    for (int i = 0; i < package::kUninstallerTexts; ++i)
        gbk::Copy(block.texts[i], package::kUninstallTextRoom, model.uninstallTexts[i]);
    // The block and its trailer go out in one write: the window waits for every write (on a
    // network share each is a round trip), and the run answers the system only between steps.
    package::ItemList items;
    if (!package::BuildUninstallerBlock(block, &items)) return Fail(error, ERROR_NOT_ENOUGH_MEMORY);
    const size_t length = items.size();
    std::unique_ptr<char[]> tail(new (std::nothrow) char[length + package::kTrailerRoom]);
    if (!tail) return Fail(error, ERROR_NOT_ENOUGH_MEMORY);
    std::memcpy(tail.get(), items.text(), length);
    package::ScrambleBlock(reinterpret_cast<unsigned char*>(tail.get()), static_cast<long>(length),
                           package::kSettingsKey);
    const size_t trailer = package::FormatTrailer(
        static_cast<int32_t>(length), static_cast<int32_t>(position), tail.get() + length);
    if (!out.Write(tail.get(), length + trailer)) return Fail(error, out.error());

    // A read-only unwise.exe of an earlier installation would refuse the replacement.
    if (pending.Place(platform::WholeFile::kFlush | platform::WholeFile::kReplaceReadOnly) ==
        platform::WholeFile::Result::Saved)
        return true;
    return Fail(error, pending.error());
}

bool WriteUninstaller(const package::SetupModel& model, const char* installDir,
                      platform::ErrorCode* error) {
    uint32_t size = 0;
    const unsigned char* archive =
        platform::LoadResourceBlock(kUninstallerResource, kUninstallerResourceType, &size);
    if (!archive) return Fail(error, ERROR_RESOURCE_DATA_NOT_FOUND);
    return WriteUninstallerFrom(archive, size, model, installDir, error);
}

}  // namespace install
