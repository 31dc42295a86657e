// The rules for the paths that setup.log and setup.lst name: which texts are plain full paths,
// which names are plain names, and whether a full path lies below a folder, compared as Windows
// compares names (without regard to case). GBK throughout; every walk steps over double-byte
// characters, whose trail byte may be that of "\" (0x5C) or "|" (0x7C). Portable and without
// Chinese text, like the readers.
#pragma once

#include <cstddef>

namespace unwise {

// True when the GBK character at `a` and the one at `b` (each `width` bytes, 1 or 2) are the
// same to Windows (package/windows_case.h).
bool SameCharacter(const char* a, const char* b, size_t width);

// `a` and `b` are the same text without regard to case.
bool SameText(const char* a, const char* b);

// A name Windows takes as it stands for one file or folder: not empty, not "." or "..", no
// control character, none of \ / : * ? " < > |, no trailing dot or space, GBK characters whole.
bool IsPlainName(const char* name, size_t length);
bool IsPlainName(const char* name);

// "X:\name\name...": a drive letter, and plain names joined by single backslashes, nothing
// before, nothing after (no trailing backslash). So no "..", no ".", no UNC or device prefix
// ("\\?\", "\\.\"), no alternate data stream (a second colon), no wildcard. The drive root
// alone ("C:\") is not such a path.
bool IsPlainFullPath(const char* path);

// `path` lies below `folder`: it begins with `folder` (without regard to case), followed by a
// backslash and at least one more character. `folder` may end with its backslash (a drive
// root). Both are full paths as Windows resolves them.
bool IsBelow(const char* folder, const char* path);
// `path` is `folder` or lies below it.
bool IsAtOrBelow(const char* folder, const char* path);

// Where the last backslash of `path` is (a GBK walk), or -1.
long LastSeparator(const char* path);

// The extension after the last dot of the last name is `extension` (without regard to case).
bool HasExtension(const char* path, const char* extension);

}  // namespace unwise
