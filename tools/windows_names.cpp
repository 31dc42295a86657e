#include "tools/windows_names.h"

#include <cstring>

#include "package/windows_case.h"
#include "platform/gbk.h"
#include "tools/text.h"

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
    std::string gbk;
    std::string offending;
    if (!Utf8ToGbk(utf8, &gbk, &offending)) {
        // No installed file can have this name, so it must meet none of theirs: a mark no
        // character has, then the code points as they are.
        key += static_cast<char32_t>(0x110000);
        for (size_t i = 0; i < utf8.size(); ++i) key += static_cast<unsigned char>(utf8[i]);
        return key;
    }
    // The installer and the uninstaller compare the same GBK names with the same folding.
    for (size_t i = 0; i < gbk.size();) {
        const size_t width = gbk::CharWidth(gbk.c_str() + i);
        key += static_cast<char32_t>(package::UpperCharacter(gbk.c_str() + i, width));
        i += width;
    }
    return key;
}

}  // namespace sfxpack
