#include "tools/windows_names.h"

#include <cstring>

namespace sfxpack {

namespace {
bool IsDeviceName(const std::string& name) {
    // "nul.txt" is the device too: Windows looks only at the part before the first dot.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

char32_t FoldCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;                 // full-width Latin
    if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return c + 0x20;  // Greek
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;                 // Cyrillic
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;                 // Cyrillic Ё and kin
    if (c >= 0x2160 && c <= 0x216F) return c + 0x10;                 // Roman numerals
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return c + 0x20;  // Latin-1 letters
    return c;
}
}  // namespace

std::string NameProblem(const std::string& name) {
    if (name.empty()) return "an empty file or folder name";
    if (name == "." || name == "..") return "'" + name + "' would leave its base folder";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            return "holds a control character, which Windows refuses in a name";
        if (std::strchr("<>:\"/\\|?*", c))
            return std::string("holds the character '") + static_cast<char>(c) +
                   "', which Windows refuses in a name";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "ends with a dot or a space, which Windows drops from a name";
    if (IsDeviceName(name)) return "is a device name on Windows, not a file";
    return "";
}

std::u32string CaseFoldKey(const std::string& utf8) {
    std::u32string key;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        key += FoldCodePoint(c);
        i += length;
    }
    return key;
}

}  // namespace sfxpack
