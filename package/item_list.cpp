#include "package/item_list.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "package/scramble.h"

namespace package {

ItemList::~ItemList() { std::free(text_); }

ItemList::ItemList(ItemList&& other) noexcept
    : columnsPerRow(other.columnsPerRow),
      text_(other.text_),
      length_(other.length_),
      capacity_(other.capacity_),
      columnIndex_(other.columnIndex_),
      readPosition_(other.readPosition_) {
    other.text_ = nullptr;
    other.length_ = other.capacity_ = other.readPosition_ = 0;
}

bool ItemList::Reserve(size_t length) {
    if (length + 1 <= capacity_) return true;
    size_t capacity = capacity_ < 256 ? 256 : capacity_;
    while (capacity < length + 1) capacity *= 2;
    char* grown = static_cast<char*>(std::realloc(text_, capacity));
    if (!grown) return false;
    text_ = grown;
    capacity_ = capacity;
    return true;
}

bool ItemList::AddItem(const char* item) {
    const size_t itemLength = std::strlen(item);
    if (!Reserve(length_ + itemLength + 3)) return false;
    std::memcpy(text_ + length_, item, itemLength);
    length_ += itemLength;
    if (columnIndex_ + 2 < columnsPerRow) {
        ++columnIndex_;
        text_[length_++] = kItemSeparator;
    } else {
        columnIndex_ = -1;
        std::memcpy(text_ + length_, "\x08\x0D\x0A", 3);
        length_ += 3;
    }
    text_[length_] = '\0';
    return true;
}

const char* ItemList::NextItem() {
    size_t end = readPosition_;
    while (end < length_ && text_[end] != kItemSeparator && text_[end] != kRowEnd) ++end;
    if (end >= length_) {
        itemBuffer_[0] = '\0';
        return itemBuffer_;
    }
    const size_t length = end - readPosition_ < kItemRoom ? end - readPosition_ : kItemRoom;
    std::memcpy(itemBuffer_, text_ + readPosition_, length);
    itemBuffer_[length] = '\0';
    readPosition_ = end + (text_[end] == kItemSeparator ? 1 : 3);
    if (readPosition_ > length_) readPosition_ = length_;
    return itemBuffer_;
}

bool ItemList::SetText(const char* text, size_t length) {
    const void* zero = std::memchr(text, 0, length);
    if (zero) length = static_cast<size_t>(static_cast<const char*>(zero) - text);
    if (!Reserve(length)) return false;
    std::memmove(text_, text, length);
    text_[length] = '\0';
    length_ = length;
    readPosition_ = 0;
    columnIndex_ = -1;
    return true;
}

bool ItemList::LoadFromFile(const platform::SysChar* path, const char* keyText) {
    platform::RawFile file;
    return file.OpenRead(path) && LoadFromRange(file, 0, file.Length(), keyText);
}

bool ItemList::LoadFromRange(platform::RawFile& file, int64_t offset, int64_t length,
                             const char* keyText) {
    if (offset < 0 || length < 0 || static_cast<uint64_t>(length) >= SIZE_MAX / 2) return false;
    if (file.Seek(offset, platform::RawFile::Origin::Begin) != offset) return false;
    if (!Reserve(static_cast<size_t>(length))) return false;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(text_);
    const size_t got = file.Read(bytes, static_cast<size_t>(length));
    if (got != static_cast<size_t>(length)) return false;
    if (keyText && *keyText) UnscrambleBlock(bytes, static_cast<long>(got), keyText);
    text_[got] = '\0';
    length_ = std::strlen(text_);
    readPosition_ = 0;
    columnIndex_ = -1;
    return true;
}

std::unique_ptr<char[]> ItemList::CopyText(size_t* length) const {
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length_ + 1]);
    if (!copy) return nullptr;
    std::memcpy(copy.get(), text(), length_ + 1);
    *length = length_;
    return copy;
}

}  // namespace package
