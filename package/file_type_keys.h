// Where a package's file type lives below HKEY_CLASSES_ROOT: ".ext" names the class "extfile",
// whose "DefaultIcon" holds "PROGRAM,0" and whose "shell\open\command" holds "PROGRAM" "%1". The
// installer writes these keys and values; the uninstaller removes them only while they still
// hold what the installer wrote, so both build them here. Portable, GBK.
#pragma once

#include "package/limits.h"
#include "platform/gbk.h"

namespace package {

// After the program path: the icon's index.
constexpr char kIconSuffix[] = ",0";
// Around it in the open command: quoted, so that Windows never takes the part of a path before a
// space for the program (D:\My.exe for D:\My Apps\viewer.exe), and a document whose path has
// spaces reaches the program as one argument.
constexpr char kCommandPrefix[] = "\"";
constexpr char kCommandSuffix[] = "\" \"%1\"";
static_assert(sizeof kCommandPrefix - 1 + sizeof kCommandSuffix - 1 == kCommandExtra,
              "the command's bytes besides the program");
// The unquoted command that earlier installations wrote: still ours to the uninstaller.
constexpr char kOldCommandSuffix[] = " %1";

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

// A type's value as the installer writes it; false, with nothing written, when it would not fit
// (kTypeValueRoom).
using TypeValue = gbk::Text<kTypeValueRoom + 1>;
bool MakeIconValue(const char* program, TypeValue* value);
bool MakeCommandValue(const char* program, TypeValue* value);
// The program of an open command in either form we wrote; false for any other command.
bool ProgramOfCommand(const char* command, char* program, size_t room);

// The keys of `extension` (without its dot). False when a name does not fit: a cut name would
// be another key.
bool MakeFileTypeKeys(const char* extension, FileTypeKeys* keys);

}  // namespace package
