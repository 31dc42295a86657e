// Messages for texts that break a limit of the package format. The limits themselves and the
// rule that measures a text (its GBK bytes) are the installer's, in package/limits.h; the
// manifest reader and verify both word their refusals here.
#pragma once

#include <cstddef>
#include <string>

namespace sfxpack {

// What is wrong with `gbk` as one settings item (a byte that would end or split it, or more than
// an item holds), or the empty text when nothing is.
std::string ItemProblem(const std::string& gbk);

// ItemProblem, then the limit of `limit` bytes: "is 48 bytes long in GBK; the welcome page shows
// at most 47", with `where` naming what sets the limit ("the welcome page shows at most"); by
// default the field's room ("the installer has room for"). The empty text when `gbk` fits.
std::string LimitProblem(const std::string& gbk, size_t limit, const std::string& where = "");

// What sets the limit of settings item `item` (package::layout::SettingsItem), for LimitProblem:
// "the welcome page shows at most" for a shown page line, "the agreement box holds at most",
// what the default folder leaves for the application name; empty where the field's room does.
std::string SettingsItemWhere(int item);

}  // namespace sfxpack
