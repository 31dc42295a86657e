#include "package/setup_model.h"

#include <cstdlib>
#include <new>

namespace package {

FileList::~FileList() { Clear(); }

void FileList::Clear() {
    for (FileEntry* entry = first; entry;) {
        FileEntry* next = entry->next;
        delete entry;
        entry = next;
    }
    first = last = cursorNode = nullptr;
    count = 0;
    cursorIndex = 0;
}

bool FileList::Append(const FileEntry& entry) {
    FileEntry* node = new (std::nothrow) FileEntry(entry);
    if (!node) return false;
    node->prev = last;
    node->next = nullptr;
    if (last) {
        last->next = node;
    } else {
        first = cursorNode = node;
        cursorIndex = 0;
    }
    last = node;
    ++count;
    return true;
}

void FileList::SeekTo(int32_t index) {
    if (index < 0 || index >= count) return;
    const int32_t fromFirst = index;
    const int32_t fromLast = count - 1 - index;
    const int32_t fromCursor = std::abs(index - cursorIndex);
    if (fromFirst < fromCursor && fromFirst <= fromLast) {
        cursorNode = first;
        cursorIndex = 0;
    } else if (fromLast < fromCursor) {
        cursorNode = last;
        cursorIndex = count - 1;
    }
    for (; cursorIndex < index; ++cursorIndex) cursorNode = cursorNode->next;
    for (; cursorIndex > index; --cursorIndex) cursorNode = cursorNode->prev;
}

char* PageText::Line(int index) {
    switch (index) {
        case 0: return line0;
        case 1: return line1;
        case 2: return line2;
        case 3: return line3;
        case 4: return line4;
        case 5: return line5;
        case 6: return line6;
        default: return line7;
    }
}

}  // namespace package
