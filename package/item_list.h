// The container in which settings travel: text items separated by 0x07, rows ended by
// 0x08 0x0D 0x0A. The byte layout is shared with the packer and the uninstaller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace package {

class ItemList {
public:
    static constexpr size_t kItemRoom = 531;  // longest item, in bytes
    static constexpr char kItemSeparator = 0x07;
    static constexpr char kRowEnd = 0x08;

    virtual ~ItemList() = default;

    void AddItem(const char* item);
    void AddItem(const std::string& item) { AddItem(item.c_str()); }

    // The next item, valid until the next call; the empty text when no complete item is left.
    // An item longer than kItemRoom is cut there rather than overrun the buffer.
    const char* NextItem();

    // Replaces the text with the file's contents, unscrambled with `keyText` unless it is empty.
    // The text ends at the first zero byte. False when the file cannot be opened.
    bool LoadFromFile(const std::string& path, const char* keyText);

    // A zero-terminated copy of the text and its length.
    std::unique_ptr<char[]> CopyText(size_t* length) const;

    const std::string& text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

    int32_t columnsPerRow = 1;

private:
    std::string text_;
    char itemBuffer_[kItemRoom + 1] = {};
    int32_t columnIndex_ = -1;
    size_t readPosition_ = 0;
};

}  // namespace package
