#include "package/settings_loader.h"

#include <cstring>

#include "package/number.h"
#include "package/scramble.h"
#include "package/settings_layout.h"
#include "package/trailer.h"
#include "package/words.h"
#include "platform/file.h"
#include "platform/file_block.h"
#include "platform/gbk.h"

namespace package {

namespace {
int32_t Number(const char* item) { return ParseNumber(item); }
int32_t Flag(const char* item) { return words::FlagFromWord(item) ? 1 : 0; }

// One settings item into a field of `room` bytes; an item too long for its field is cut there,
// never inside a character.
template <size_t N>
void Text(char (&field)[N], const char* item) {
    gbk::Copy(field, N, item);
}
}  // namespace

bool ReadSettings(ItemList& items, SetupModel* model) {
    namespace layout = package::layout;
    // The items in the order they stand, then each to its field by the shared layout.
    static_assert(layout::kSettingsItems == 64, "the settings have 64 items");
    for (int item = 0; item < layout::kSettingsItems; ++item) {
        const char* text = items.NextItem();
        if (item < layout::kAppName) {
            const int page = item / layout::kLinesPerPage;
            const int line = item % layout::kLinesPerPage;
            gbk::Copy(model->pageTexts[page].Line(line), PageText::LineRoom(line), text);
            continue;
        }
        if (item >= layout::kFirstUninstallText && item < layout::kUnusedAfterUninstallTexts) {
            gbk::Copy(model->uninstallTexts[item - layout::kFirstUninstallText], kUninstallTextRoom,
                      text);
            continue;
        }
        if (item >= layout::kFirstFileType && item < layout::kShowBackground) {
            // The program first, then the extension over the start of the same record.
            FileTypeEntry& type = model->fileTypes[(item - layout::kFirstFileType) / 2];
            if ((item - layout::kFirstFileType) % 2 == 0)
                Text(type.program, text);
            else
                Text(type.extension, text);
            continue;
        }
        switch (item) {
            case layout::kAppName: Text(model->appName, text); break;
            case layout::kReadmeFile: Text(model->readmeFile, text); break;
            case layout::kRunProgram: Text(model->runProgram, text); break;
            case layout::kPictureLength: model->pictureLength = Number(text); break;
            case layout::kPictureOffset: model->pictureOffset = Number(text); break;
            case layout::kIconLength: model->iconLength = Number(text); break;
            case layout::kIconOffset: model->iconOffset = Number(text); break;
            case layout::kShowBackground: model->showBackground = Flag(text); break;
            case layout::kBackgroundPictureLength:
                model->backgroundPictureLength = Number(text);
                break;
            case layout::kBackgroundPictureOffset:
                model->backgroundPictureOffset = Number(text);
                break;
            case layout::kBackgroundCaption: Text(model->backgroundCaption, text); break;
            case layout::kBackgroundColor:
                model->backgroundColor = static_cast<uint32_t>(Number(text));
                break;
            case layout::kBackgroundHasCaption: model->backgroundHasCaption = Flag(text); break;
            case layout::kChecksumMark:
                model->checksumMarked = std::strcmp(text, layout::kChecksumMarkWord) == 0;
                break;
            default: break;  // read and not used
        }
    }

    // Each file's items in the order they stand, each to its field by the shared layout, until
    // an empty name.
    for (const char* text = items.NextItem(); *text; text = items.NextItem()) {
        FileEntry entry;
        for (int item = layout::kFileName; item < layout::kFileItems; ++item) {
            if (item > layout::kFileName) text = items.NextItem();
            switch (item) {
                case layout::kFileName: Text(entry.fileName, text); break;
                case layout::kFileFolder: entry.folderKind = words::FolderKindFromWord(text); break;
                case layout::kFileSubFolder: Text(entry.subFolder, text); break;
                case layout::kFileShortcuts: entry.shortcutFlags = Number(text); break;
                case layout::kFileOverwrite:
                    entry.overwriteMode = words::OverwriteModeFromWord(text);
                    break;
                case layout::kFileDataLength: entry.dataLength = Number(text); break;
                case layout::kFileDataOffset: entry.dataOffset = Number(text); break;
                case layout::kFileCompressed: entry.compressed = Flag(text); break;
                default: break;
            }
        }
        if (!model->fileList.Append(entry)) return false;
    }
    return true;
}

LoadResult LoadSettings(platform::RawFile& package, SetupModel* model, PackageTrailer* found) {
    PackageTrailer trailer;
    const bool read = ReadTrailer(package, &trailer);
    if (read) ReadChecksumRecord(&trailer);
    if (found) *found = trailer;
    if (!read) return LoadResult::NoTrailer;
    if (!BlockBeforeTrailer(trailer)) return LoadResult::BadTrailer;
    ItemList items;
    if (!items.LoadFromRange(package, trailer.offset, trailer.length, kSettingsKey))
        return LoadResult::CannotExtract;
    return ReadSettings(items, model) ? LoadResult::Loaded : LoadResult::NoMemory;
}

LoadResult LoadSettings(const platform::SysChar* exePath, SetupModel* model,
                        PackageTrailer* found) {
    platform::RawFile package;
    if (!package.OpenRead(exePath)) return LoadResult::NoTrailer;
    return LoadSettings(package, model, found);
}

}  // namespace package
