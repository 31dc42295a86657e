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

}  // namespace sfxpack
