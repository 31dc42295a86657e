// The words a publisher uses for a file's base folder, overwrite mode and shortcuts, shared by
// the manifest reader and the printed reports.
#pragma once

#include <cstdint>
#include <string>

namespace sfxpack {

const char* FolderWord(int32_t folderKind);       // "install", "windows", "system"
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

// The keywords a package stores. The installer knows only "WINDOWS_FOLDER", "SYSTEM_FOLDER",
// "NOTEXIST_COPY" and "ASK_COPY" and takes any other word for the install folder and for
// overwriting; the packer still writes a word of its own there, so that a stored path always
// starts with a folder word and a listing reads plainly.
const char* FolderKeyword(int32_t folderKind);        // "INSTALL_FOLDER", "WINDOWS_FOLDER", ...
const char* OverwriteKeyword(int32_t overwriteMode);  // "ALWAYS_COPY", "NOTEXIST_COPY", ...

}  // namespace sfxpack
