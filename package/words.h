// The keywords a package stores: a file's base folder, its overwrite mode and the flag words.
// The packer writes them from here and the installer's loader compares with them from here.
// The loader knows only the words of the values that are not the default and takes any other
// text for the default (the install folder, overwriting, false); the packer still writes a word
// of its own for every default, so that a stored path always starts with a folder word.
// Header-only, no library strings: the installer includes it as it is.
#pragma once

#include <cstdint>
#include <cstring>

#include "package/setup_model.h"

namespace package {
namespace words {

constexpr const char* kInstallFolder = "INSTALL_FOLDER";
constexpr const char* kWindowsFolder = "WINDOWS_FOLDER";
constexpr const char* kSystemFolder = "SYSTEM_FOLDER";

constexpr const char* kAlwaysCopy = "ALWAYS_COPY";
constexpr const char* kNotExistCopy = "NOTEXIST_COPY";
constexpr const char* kAskCopy = "ASK_COPY";

// A flag is set exactly when its item is this word (case and all).
constexpr const char* kTrue = "TRUE";
constexpr const char* kFalse = "FALSE";

struct Word {
    const char* text;
    int32_t value;
};
// The default comes first.
constexpr Word kFolderWords[] = {{kInstallFolder, kFolderInstall},
                                 {kWindowsFolder, kFolderWindows},
                                 {kSystemFolder, kFolderSystem}};
constexpr Word kOverwriteWords[] = {{kAlwaysCopy, kOverwriteAlways},
                                    {kNotExistCopy, kOverwriteIfMissing},
                                    {kAskCopy, kOverwriteAsk}};

// The value of `text` among `table`; the first entry's value for any text not in it.
template <size_t N>
inline int32_t ValueOf(const Word (&table)[N], const char* text) {
    for (const Word& word : table)
        if (std::strcmp(word.text, text) == 0) return word.value;
    return table[0].value;
}
// The word of `value`; the first entry's word for a value not in it.
template <size_t N>
constexpr const char* WordOf(const Word (&table)[N], int32_t value) {
    for (const Word& word : table)
        if (word.value == value) return word.text;
    return table[0].text;
}

inline int32_t FolderKindFromWord(const char* text) { return ValueOf(kFolderWords, text); }
// The same for the word that starts a stored path ("WINDOWS_FOLDER\app.exe"): its first
// `length` bytes, up to the backslash.
inline int32_t FolderKindFromWord(const char* text, size_t length) {
    for (const Word& word : kFolderWords)
        if (std::strlen(word.text) == length && std::memcmp(word.text, text, length) == 0)
            return word.value;
    return kFolderWords[0].value;
}
inline int32_t OverwriteModeFromWord(const char* text) { return ValueOf(kOverwriteWords, text); }
inline bool FlagFromWord(const char* text) { return std::strcmp(text, kTrue) == 0; }

constexpr const char* FolderWord(int32_t folderKind) { return WordOf(kFolderWords, folderKind); }
constexpr const char* OverwriteWord(int32_t overwriteMode) {
    return WordOf(kOverwriteWords, overwriteMode);
}
constexpr const char* FlagWord(bool value) { return value ? kTrue : kFalse; }

}  // namespace words
}  // namespace package
