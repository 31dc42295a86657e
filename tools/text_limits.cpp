#include "tools/text_limits.h"

#include <cstdio>

#include "package/item_list.h"
#include "package/limits.h"
#include "package/settings_layout.h"
#include "package/setup_model.h"

namespace sfxpack {

// The installer's fields and the limits the packer checks must be the same numbers: a field one
// byte shorter than its limit would cut what the packer let through.
namespace {
using package::FileEntry;
using package::FileTypeEntry;
using package::PageText;
using package::SetupModel;
namespace layout = package::layout;
static_assert(package::ItemList::kItemRoom == package::kItemRoom, "the item list's buffer");
static_assert(layout::kPages == package::kPageCount && layout::kLinesPerPage == PageText::kLines,
              "the pages of the layout are the model's");
static_assert(sizeof(PageText::line0) == package::kNameRoom + 1 &&
                  sizeof(PageText::line2) == package::kLongLineRoom + 1,
              "page lines");
static_assert(sizeof(SetupModel::appName) == package::kNameRoom + 1 &&
                  sizeof(SetupModel::readmeFile) == package::kNameRoom + 1 &&
                  sizeof(SetupModel::runProgram) == package::kNameRoom + 1,
              "names");
static_assert(sizeof(FileEntry::fileName) == package::kNameRoom + 1 &&
                  sizeof(FileEntry::subFolder) == package::kNameRoom + 1,
              "file entries");
static_assert(sizeof(FileTypeEntry::program) == package::kProgramRoom + 1 &&
                  sizeof(FileTypeEntry::extension) == package::kExtensionRoom + 1,
              "file types");
static_assert(sizeof(SetupModel::backgroundCaption) == package::kCaptionRoom + 1, "caption");
static_assert(sizeof(SetupModel::uninstallTexts[0]) == package::kItemRoom + 1, "uninstaller texts");
static_assert(sizeof(SetupModel::fileTypes) / sizeof(FileTypeEntry) == layout::kFileTypes &&
                  sizeof(SetupModel::uninstallTexts) / sizeof(SetupModel::uninstallTexts[0]) ==
                      layout::kUninstallTexts,
              "counts");
}  // namespace

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
    if (gbk.size() > package::kItemRoom)
        return "is " + std::to_string(gbk.size()) + " bytes long in GBK; a settings item holds " +
               std::to_string(package::kItemRoom);
    return "";
}

std::string SettingsItemWhere(int item) {
    if (item == layout::kAppName)
        return "the default folder C:\\Program Files\\NAME leaves the name at most";
    if (item < layout::kFirstPageLine || item >= layout::kAppName) return "";
    const int page = (item - layout::kFirstPageLine) / layout::kLinesPerPage;
    const int line = (item - layout::kFirstPageLine) % layout::kLinesPerPage;
    if (!layout::PageShowsLine(page, line)) return "";
    if (page == layout::kAgreement && line == layout::kAgreementTextLine)
        return "the agreement box holds at most";
    return std::string("the ") + layout::kPageNames[page] + " page shows at most";
}

std::string LimitProblem(const std::string& gbk, size_t limit, const std::string& where) {
    std::string problem = ItemProblem(gbk);
    if (!problem.empty()) return problem;
    // The texts hold no zero byte (ItemProblem), so the installer's measure is the size.
    if (package::WithinLimit(gbk.c_str(), limit)) return "";
    return "is " + std::to_string(package::LimitedLength(gbk.c_str())) + " bytes long in GBK; " +
           (where.empty() ? std::string("the installer has room for") : where) + " " +
           std::to_string(limit);
}

}  // namespace sfxpack
