// What Windows makes of the names a package installs: which names it refuses or changes, and
// which two names it takes for the same file.
#pragma once

#include <string>

namespace sfxpack {

// What Windows would refuse or silently change in the file or folder name `name` (UTF-8, one
// level, no separator), or the empty text when it takes the name as it stands.
std::string NameProblem(const std::string& name);

// A key under which two names compare equal exactly when Windows takes them for the same name,
// as the installer and the uninstaller fold them (package/windows_case.h). A name GBK cannot
// hold meets no other.
std::u32string CaseFoldKey(const std::string& utf8);

}  // namespace sfxpack
