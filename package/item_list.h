// The container in which settings travel: text items separated by 0x07, rows ended by
// 0x08 0x0D 0x0A. The byte layout is shared with the packer and the uninstaller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "package/limits.h"
#include "platform/file.h"

namespace package {

class ItemList {
public:
    static constexpr size_t kItemRoom = package::kItemRoom;  // longest item, in bytes
    static constexpr char kItemSeparator = 0x07;
    static constexpr char kRowEnd = 0x08;

    ItemList() = default;
    ItemList(const ItemList&) = delete;
    ItemList(ItemList&& other) noexcept;
    ItemList& operator=(const ItemList&) = delete;
    virtual ~ItemList();

    // Appends an item: a separator after it, or the row end after the last column of a row.
    // False when the memory for it cannot be had (the text stays as it was).
    bool AddItem(const char* item);

    // The next item, valid until the next call; the empty text when no complete item is left.
    // An item longer than kItemRoom is cut there rather than overrun the buffer.
    const char* NextItem();

    // Replaces the text with the file's contents, unscrambled with `keyText` unless it is empty.
    // The text ends at the first zero byte. False when the file cannot be opened or read whole,
    // or the memory cannot be had.
    bool LoadFromFile(const platform::SysChar* path, const char* keyText);
    // The same from `length` bytes at `offset` of a file the caller holds open.
    bool LoadFromRange(platform::RawFile& file, int64_t offset, int64_t length,
                       const char* keyText);

    // Replaces the text with `length` bytes (up to a zero byte among them); false without memory.
    bool SetText(const char* text, size_t length);

    // A zero-terminated copy of the text and its length; no buffer without memory.
    std::unique_ptr<char[]> CopyText(size_t* length) const;

    const char* text() const { return text_ ? text_ : ""; }
    // Where the next item starts. NextItem moves it exactly when it returns a whole item, which
    // tells an empty item from the end of the text.
    size_t readPosition() const { return readPosition_; }
    size_t size() const { return length_; }

    int32_t columnsPerRow = 1;

private:
    bool Reserve(size_t length);

    char* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    char itemBuffer_[kItemRoom + 1] = {};
    int32_t columnIndex_ = -1;
    size_t readPosition_ = 0;
};

}  // namespace package
