#include "tools/words.h"

#include <cstdio>

#include "package/setup_model.h"

namespace sfxpack {

const char* FolderWord(int32_t folderKind) {
    switch (folderKind) {
        case package::kFolderWindows: return "windows";
        case package::kFolderSystem: return "system";
        default: return "install";
    }
}

const char* OverwriteWord(int32_t overwriteMode) {
    switch (overwriteMode) {
        case package::kOverwriteIfMissing: return "if-missing";
        case package::kOverwriteAsk: return "ask";
        default: return "always";
    }
}

std::string ShortcutWords(int32_t flags) {
    std::string words;
    auto add = [&](int32_t bit, const char* word) {
        if (!(flags & bit)) return;
        if (!words.empty()) words += ',';
        words += word;
    };
    add(package::kShortcutDesktop, "desktop");
    add(package::kShortcutStartMenu, "start-menu");
    add(package::kShortcutProgramGroup, "program-group");
    return words.empty() ? "-" : words;
}

std::string ColorText(uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

}  // namespace sfxpack
