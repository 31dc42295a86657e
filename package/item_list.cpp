#include "package/item_list.h"

#include <cstring>
#include <new>

#include "package/scramble.h"
#include "platform/file.h"

namespace package {

void ItemList::AddItem(const char* item) {
    ++columnIndex_;
    text_ += item;
    if (columnIndex_ + 1 < columnsPerRow) {
        text_ += kItemSeparator;
    } else {
        columnIndex_ = -1;
        text_ += "\x08\x0D\x0A";
    }
}

const char* ItemList::NextItem() {
    const size_t end = text_.find_first_of("\x07\x08", readPosition_);
    if (end == std::string::npos) {
        itemBuffer_[0] = '\0';
        return itemBuffer_;
    }
    const size_t length = end - readPosition_ < kItemRoom ? end - readPosition_ : kItemRoom;
    std::memcpy(itemBuffer_, text_.data() + readPosition_, length);
    itemBuffer_[length] = '\0';
    // A row end skips the two bytes after it unseen; a text cut right after 0x08 has none.
    readPosition_ = end + (text_[end] == kItemSeparator ? 1 : 3);
    if (readPosition_ > text_.size()) readPosition_ = text_.size();
    return itemBuffer_;
}

bool ItemList::LoadFromFile(const std::string& path, const char* keyText) {
    platform::RawFile file;
    if (!file.OpenRead(path)) return false;
    const int64_t length = file.Length();
    std::unique_ptr<unsigned char[]> buffer(
        new (std::nothrow) unsigned char[static_cast<size_t>(length) + 1]);
    if (!buffer) return false;
    const size_t got = file.Read(buffer.get(), static_cast<size_t>(length));
    buffer[got] = 0;
    if (keyText && *keyText) UnscrambleBlock(buffer.get(), static_cast<long>(got), keyText);
    text_.assign(reinterpret_cast<const char*>(buffer.get()),
                 std::strlen(reinterpret_cast<const char*>(buffer.get())));
    return true;
}

std::unique_ptr<char[]> ItemList::CopyText(size_t* length) const {
    std::unique_ptr<char[]> copy(new char[text_.size() + 1]);
    std::memcpy(copy.get(), text_.c_str(), text_.size() + 1);
    *length = text_.size();
    return copy;
}

}  // namespace package
