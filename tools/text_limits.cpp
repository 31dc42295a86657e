#include "tools/text_limits.h"

#include <cstdio>

#include "package/item_list.h"
#include "package/setup_model.h"
#include "platform/gbk.h"

namespace sfxpack {

size_t CharacterCount(const std::string& gbk) {
    size_t count = 0;
    for (size_t i = 0; i < gbk.size(); ++count)
        i += gbk::IsLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
    return count;
}

size_t PageLineRoom(int line) { return line == 2 ? kLongLineRoom : kNameRoom; }

size_t PageLineCharacters(int page, int line) {
    // Lines each page binds to a control: welcome 0-7, agreement 0-2 (2 is the agreement box),
    // folder 0-3, progress 0, finish 0-2.
    static const int kShownLines[package::kPageCount] = {8, 3, 4, 1, 3};
    if (page < 0 || page >= package::kPageCount || line < 0 || line >= kShownLines[page]) return 0;
    return page == package::kPageAgreement && line == 2 ? kAgreementCharacters : kLineCharacters;
}

std::string ItemProblem(const std::string& gbk) {
    for (unsigned char c : gbk)
        if (c == 0x00 || c == package::ItemList::kItemSeparator ||
            c == package::ItemList::kRowEnd) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "holds the control character U+%04X, which the settings format cannot "
                          "carry",
                          c);
            return text;
        }
    if (gbk.size() > package::ItemList::kItemRoom)
        return "is " + std::to_string(gbk.size()) + " bytes in GBK; a settings item holds " +
               std::to_string(package::ItemList::kItemRoom);
    return "";
}

std::string LimitProblem(const std::string& gbk, size_t room, size_t characters,
                         const std::string& where) {
    std::string problem = ItemProblem(gbk);
    if (!problem.empty()) return problem;
    if (gbk.size() > room)
        return "is " + std::to_string(gbk.size()) + " bytes in GBK; the installer has room for " +
               std::to_string(room);
    if (characters != 0 && CharacterCount(gbk) > characters)
        return "is " + std::to_string(CharacterCount(gbk)) + " characters long; " + where +
               " at most " + std::to_string(characters);
    return "";
}

}  // namespace sfxpack
