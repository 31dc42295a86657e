#include "package/settings_loader.h"

#include <cstring>

#include "package/file_block.h"
#include "package/number.h"
#include "package/scramble.h"
#include "package/trailer.h"
#include "platform/file.h"
#include "platform/gbk.h"

namespace package {

namespace {
template <size_t N>
void ReadText(ItemList& items, char (&field)[N]) {
    gbk::Copy(field, N, items.NextItem());
}

int32_t ReadNumber(ItemList& items) { return ParseNumber(items.NextItem()); }
int32_t ReadFlag(ItemList& items) { return ParseFlag(items.NextItem()) ? 1 : 0; }

int32_t FolderKindOf(const char* word) {
    if (std::strcmp(word, "WINDOWS_FOLDER") == 0) return kFolderWindows;
    if (std::strcmp(word, "SYSTEM_FOLDER") == 0) return kFolderSystem;
    return kFolderInstall;
}

int32_t OverwriteModeOf(const char* word) {
    if (std::strcmp(word, "NOTEXIST_COPY") == 0) return kOverwriteIfMissing;
    if (std::strcmp(word, "ASK_COPY") == 0) return kOverwriteAsk;
    return kOverwriteAlways;
}
}  // namespace

bool ReadSettings(ItemList& items, SetupModel* model) {
    for (PageText& page : model->pageTexts)
        for (int line = 0; line < PageText::kLines; ++line)
            gbk::Copy(page.Line(line), PageText::LineRoom(line), items.NextItem());
    ReadText(items, model->appName);
    ReadText(items, model->readmeFile);
    ReadText(items, model->runProgram);
    for (char* text : model->uninstallTexts) gbk::Copy(text, kUninstallTextRoom, items.NextItem());
    items.NextItem();  // item 48 carries nothing the installer uses
    model->pictureLength = ReadNumber(items);
    model->pictureOffset = ReadNumber(items);
    model->iconLength = ReadNumber(items);
    model->iconOffset = ReadNumber(items);
    for (FileTypeEntry& type : model->fileTypes) {
        // The program comes first; the extension is cut to its 3 bytes, so it can never spill
        // into the program as an unchecked copy would.
        gbk::Copy(type.program, sizeof type.program, items.NextItem());
        gbk::Copy(type.extension, sizeof type.extension, items.NextItem());
    }
    model->showBackground = ReadFlag(items);
    model->backgroundPictureLength = ReadNumber(items);
    model->backgroundPictureOffset = ReadNumber(items);
    ReadText(items, model->backgroundCaption);
    model->backgroundColor = static_cast<uint32_t>(ReadNumber(items));
    model->backgroundHasCaption = ReadFlag(items);
    items.NextItem();  // items 63 and 64 carry nothing the installer uses
    items.NextItem();

    for (const char* name = items.NextItem(); *name; name = items.NextItem()) {
        FileEntry entry;
        gbk::Copy(entry.fileName, sizeof entry.fileName, name);
        entry.folderKind = FolderKindOf(items.NextItem());
        ReadText(items, entry.subFolder);
        entry.shortcutFlags = ReadNumber(items);
        entry.overwriteMode = OverwriteModeOf(items.NextItem());
        entry.dataLength = ReadNumber(items);
        entry.dataOffset = ReadNumber(items);
        entry.compressed = ReadFlag(items);
        if (!model->fileList.Append(entry)) return false;
    }
    return true;
}

LoadResult LoadSettings(const platform::SysChar* exePath, const platform::SysChar* tempFolder,
                        SetupModel* model) {
    PackageTrailer trailer;
    if (!ReadTrailer(exePath, &trailer)) return LoadResult::NoTrailer;
    if (trailer.length <= 0 || trailer.offset < 0 ||
        static_cast<int64_t>(trailer.offset) + trailer.length > trailer.trailerOffset)
        return LoadResult::BadTrailer;

    platform::SysChar tempPath[platform::kPathRoom];
    platform::RawFile copy;
    if (!platform::CreateTempFile(tempFolder, kTempFileStem, &copy, tempPath, platform::kPathRoom))
        return LoadResult::CannotExtract;
    const bool copied = CopyFileRange(copy, exePath, trailer.offset, trailer.length);
    copy.Close();
    ItemList items;
    const bool loaded = copied && items.LoadFromFile(tempPath, kSettingsKey);
    platform::RemoveSysFile(tempPath);
    if (!loaded) return LoadResult::CannotExtract;
    return ReadSettings(items, model) ? LoadResult::Loaded : LoadResult::NoMemory;
}

}  // namespace package
