#include "tools/words.h"

#include <cstdio>
#include <initializer_list>

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

namespace {
// The value among `values` whose word `describe` gives, if any.
template <typename Describe>
bool FindWord(const std::string& word, std::initializer_list<int32_t> values, Describe describe,
              int32_t* found) {
    for (int32_t value : values)
        if (word == describe(value)) {
            *found = value;
            return true;
        }
    return false;
}
}  // namespace

bool ParseFolderWord(const std::string& word, int32_t* folderKind) {
    return FindWord(word,
                    {package::kFolderInstall, package::kFolderWindows, package::kFolderSystem},
                    FolderWord, folderKind);
}

bool ParseOverwriteWord(const std::string& word, int32_t* overwriteMode) {
    return FindWord(
        word, {package::kOverwriteAlways, package::kOverwriteIfMissing, package::kOverwriteAsk},
        OverwriteWord, overwriteMode);
}

bool ParseShortcutWord(const std::string& word, int32_t* flag) {
    return FindWord(
        word,
        {package::kShortcutDesktop, package::kShortcutStartMenu, package::kShortcutProgramGroup},
        ShortcutWords, flag);
}

bool ParseColorText(const std::string& text, uint32_t* color) {
    if (text.size() != 7 || text[0] != '#') return false;
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        else
            return false;
        rgb = rgb << 4 | digit;
    }
    *color = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

}  // namespace sfxpack
