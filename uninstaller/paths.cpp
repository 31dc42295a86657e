#include "uninstaller/paths.h"

#include <cstring>

#include "package/windows_case.h"

namespace unwise {

namespace {
bool IsLead(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// The width of the character at `p` of a text of which `left` bytes remain; 0 for a lead byte
// whose trail byte is missing.
size_t WidthAt(const char* p, size_t left) {
    if (!IsLead(*p)) return 1;
    return left >= 2 && p[1] != '\0' ? 2 : 0;
}

char FoldedAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsForbiddenInName(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

// Compares `length` bytes of `a` and `b` character by character, both walked as GBK.
bool SameRun(const char* a, const char* b, size_t length) {
    size_t i = 0;
    while (i < length) {
        const size_t width = WidthAt(a + i, length - i);
        if (width == 0 || WidthAt(b + i, length - i) != width) return false;
        if (!SameCharacter(a + i, b + i, width)) return false;
        i += width;
    }
    return true;
}
}  // namespace

bool SameCharacter(const char* a, const char* b, size_t width) {
    return package::UpperCharacter(a, width) == package::UpperCharacter(b, width);
}

bool SameText(const char* a, const char* b) {
    const size_t length = std::strlen(a);
    return length == std::strlen(b) && SameRun(a, b, length);
}

bool IsPlainName(const char* name, size_t length) {
    if (length == 0) return false;
    if (length <= 2 && name[0] == '.' && (length == 1 || name[1] == '.')) return false;
    size_t i = 0;
    size_t lastWidth = 1;
    while (i < length) {
        const size_t width = WidthAt(name + i, length - i);
        if (width == 0) return false;
        if (width == 1 && IsForbiddenInName(name[i])) return false;
        lastWidth = width;
        i += width;
    }
    // Windows drops a trailing dot or space: the name would be another one.
    const char last = name[length - 1];
    return !(lastWidth == 1 && (last == '.' || last == ' '));
}

bool IsPlainName(const char* name) { return IsPlainName(name, std::strlen(name)); }

bool IsPlainFullPath(const char* path) {
    const char drive = FoldedAscii(path[0]);
    if (!(drive >= 'a' && drive <= 'z') || path[1] != ':' || path[2] != '\\') return false;
    const char* name = path + 3;
    for (;;) {
        // The name runs to the next backslash that is a character of its own.
        size_t length = 0;
        while (name[length] != '\0' && name[length] != '\\') {
            const size_t width = WidthAt(name + length, 2);
            if (width == 0) return false;
            length += width;
        }
        if (!IsPlainName(name, length)) return false;
        if (name[length] == '\0') return true;
        name += length + 1;
    }
}

bool IsBelow(const char* folder, const char* path) {
    size_t length = std::strlen(folder);
    if (length == 0 || std::strlen(path) <= length || !SameRun(folder, path, length)) return false;
    // A folder given with its backslash (a drive root) already ends with the separator.
    const bool folderEnds = LastSeparator(folder) == static_cast<long>(length) - 1;
    if (folderEnds) return path[length] != '\0';
    return path[length] == '\\' && path[length + 1] != '\0';
}

bool IsAtOrBelow(const char* folder, const char* path) {
    return SameText(folder, path) || IsBelow(folder, path);
}

long LastSeparator(const char* path) {
    long found = -1;
    for (size_t i = 0; path[i] != '\0';) {
        if (path[i] == '\\') found = static_cast<long>(i);
        const size_t width = WidthAt(path + i, 2);
        i += width == 0 ? 1 : width;
    }
    return found;
}

bool HasExtension(const char* path, const char* extension) {
    const char* name = path + (LastSeparator(path) + 1);
    const char* dot = nullptr;
    for (size_t i = 0; name[i] != '\0';) {
        if (name[i] == '.') dot = name + i;
        const size_t width = WidthAt(name + i, 2);
        i += width == 0 ? 1 : width;
    }
    return dot && SameText(dot + 1, extension);
}

}  // namespace unwise
