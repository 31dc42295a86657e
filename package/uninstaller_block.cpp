#include "package/uninstaller_block.h"

#include <cstring>

#include "package/scramble.h"
#include "platform/file_block.h"
#include "platform/gbk.h"

namespace package {

namespace {
// The writer formats lengths and offsets that are never negative: digits and nothing else.
// Anything else is damage, where the settings' atol rule would quietly read 0.
bool ParseCount(const char* item, int32_t* value) {
    if (*item == '\0' || std::strlen(item) > 10) return false;
    int64_t number = 0;
    for (const char* p = item; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        number = number * 10 + (*p - '0');
    }
    if (number > INT32_MAX) return false;
    *value = static_cast<int32_t>(number);
    return true;
}

bool LiesBefore(int32_t length, int32_t offset, int64_t blockOffset) {
    return length == 0 || static_cast<int64_t>(offset) + length <= blockOffset;
}
}  // namespace

bool BuildUninstallerBlock(const UninstallerBlock& block, ItemList* items) {
    items->columnsPerRow = kUninstallerColumns;
    char numbers[4][24];
    gbk::FormatDecimal(block.pictureLength, numbers[0]);
    gbk::FormatDecimal(block.pictureOffset, numbers[1]);
    gbk::FormatDecimal(block.iconLength, numbers[2]);
    gbk::FormatDecimal(block.iconOffset, numbers[3]);
    const char* const values[kUninstallerItems] = {block.appName,  numbers[0],     numbers[1],
                                                   numbers[2],     numbers[3],     block.texts[0],
                                                   block.texts[1], block.texts[2], block.texts[3]};
    for (const char* value : values)
        if (!items->AddItem(value)) return false;
    return true;
}

UninstallerBlockResult ParseUninstallerBlock(const char* text, size_t length, int64_t blockOffset,
                                             UninstallerBlock* block) {
    ItemList items;
    if (!items.SetText(text, length)) return UninstallerBlockResult::CannotRead;
    // No item holds a zero byte: one cuts the text short, and the block is damaged.
    if (items.size() != length) return UninstallerBlockResult::NotNineItems;

    // Every item first: a package's settings block must be told by its count, whatever its
    // second item holds.
    char numbers[4][12];
    for (int i = 0; i < kUninstallerItems; ++i) {
        // An empty text is a real item here; only a position that stays put means none is left.
        const size_t before = items.readPosition();
        const char* item = items.NextItem();
        if (items.readPosition() == before) return UninstallerBlockResult::NotNineItems;
        if (i == 0)
            gbk::Copy(block->appName, sizeof block->appName, item);
        else if (i <= 4)
            gbk::Copy(numbers[i - 1], sizeof numbers[i - 1], item);  // a cut one fails below
        else
            gbk::Copy(block->texts[i - 5], kUninstallTextRoom, item);
    }
    if (items.readPosition() != items.size()) return UninstallerBlockResult::NotNineItems;
    int32_t* const values[4] = {&block->pictureLength, &block->pictureOffset, &block->iconLength,
                                &block->iconOffset};
    for (int i = 0; i < 4; ++i)
        if (!ParseCount(numbers[i], values[i])) return UninstallerBlockResult::BadNumber;
    if (!LiesBefore(block->pictureLength, block->pictureOffset, blockOffset) ||
        !LiesBefore(block->iconLength, block->iconOffset, blockOffset))
        return UninstallerBlockResult::PieceOutside;
    return UninstallerBlockResult::Loaded;
}

bool ReadUninstallerAppName(const platform::SysChar* path, char* name, size_t room) {
    platform::RawFile file;
    PackageTrailer found;
    ItemList items;
    if (!file.OpenRead(path) || !ReadTrailer(file, &found) || !BlockBeforeTrailer(found) ||
        !items.LoadFromRange(file, found.offset, found.length, kSettingsKey))
        return false;
    gbk::Copy(name, room, items.NextItem());
    return true;
}

UninstallerBlockResult ReadUninstallerBlock(const platform::SysChar* path, UninstallerBlock* block,
                                            PackageTrailer* trailer) {
    PackageTrailer found;
    if (!ReadTrailer(path, &found)) return UninstallerBlockResult::NoTrailer;
    if (trailer) *trailer = found;
    if (!BlockBeforeTrailer(found)) return UninstallerBlockResult::BadTrailer;
    int64_t length = found.length;
    auto bytes = platform::ReadFileBlock(path, &length, found.offset);
    if (!bytes) return UninstallerBlockResult::CannotRead;
    UnscrambleBlock(bytes.get(), static_cast<long>(length), kSettingsKey);
    return ParseUninstallerBlock(reinterpret_cast<const char*>(bytes.get()),
                                 static_cast<size_t>(length), found.offset, block);
}

}  // namespace package
