// The words a publisher uses for a file's base folder, overwrite mode and shortcuts, shared by
// the manifest reader and the printed reports. The words a package stores are the installer's
// (package/words.h).
#pragma once

#include <cstdint>
#include <string>

namespace sfxpack {

const char* FolderWord(int32_t folderKind);        // "install", "windows", "system"
const char* OverwriteWord(int32_t overwriteMode);  // "always", "if-missing", "ask"
// "desktop,start-menu,program-group" (those set), or "-" for none.
std::string ShortcutWords(int32_t flags);
// "#RRGGBB" of a 0x00BBGGRR colour.
std::string ColorText(uint32_t color);

// The publisher's words back to their values; false for a word that is none of them.
bool ParseFolderWord(const std::string& word, int32_t* folderKind);
bool ParseOverwriteWord(const std::string& word, int32_t* overwriteMode);
bool ParseShortcutWord(const std::string& word, int32_t* flag);
// "#RRGGBB" (either letter case) to 0x00BBGGRR.
bool ParseColorText(const std::string& text, uint32_t* color);

}  // namespace sfxpack
