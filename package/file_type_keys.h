// Where a package's file type lives below HKEY_CLASSES_ROOT: ".ext" names the class "extfile",
// whose "DefaultIcon" holds "PROGRAM,0" and whose "shell\open\command" holds "PROGRAM %1". The
// installer writes these keys and values; the uninstaller removes them only while they still
// hold what the installer wrote, so both build them here. Portable, GBK.
#pragma once

#include "platform/gbk.h"

namespace package {

// After the program path: the icon's index and the open command's argument. Path and %1 stay
// unquoted: the same values that earlier installations of a package wrote.
constexpr char kIconSuffix[] = ",0";
constexpr char kCommandSuffix[] = " %1";

// A registry key name has at most 255 characters.
using RegistryKeyName = gbk::Text<256>;

struct FileTypeKeys {
    RegistryKeyName extension;  // ".ext"
    RegistryKeyName className;  // "extfile"
    RegistryKeyName icon;       // "extfile\DefaultIcon"
    RegistryKeyName shell;      // "extfile\shell"
    RegistryKeyName open;       // "extfile\shell\open"
    RegistryKeyName command;    // "extfile\shell\open\command"
};

// The keys of `extension` (without its dot). False when a name does not fit: a cut name would
// be another key.
bool MakeFileTypeKeys(const char* extension, FileTypeKeys* keys);

}  // namespace package
