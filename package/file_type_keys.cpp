#include "package/file_type_keys.h"

#include <cstring>

namespace package {

bool MakeFileTypeKeys(const char* extension, FileTypeKeys* keys) {
    // Each key is the extension or a key before it, followed by its own ending.
    RegistryKeyName* const names[] = {&keys->className, &keys->icon, &keys->shell, &keys->open,
                                      &keys->command};
    static const char* const kEndings[] = {"file", "\\DefaultIcon", "\\shell", "\\open",
                                           "\\command"};
    static const signed char kBase[] = {-1, 0, 0, 2, 3};
    if (!keys->extension.Assign(".") || !keys->extension.Append(extension)) return false;
    for (int i = 0; i < 5; ++i)
        if (!names[i]->Assign(kBase[i] < 0 ? extension : names[kBase[i]]->c_str()) ||
            !names[i]->Append(kEndings[i]))
            return false;
    return true;
}

bool MakeIconValue(const char* program, TypeValue* value) {
    return value->Assign(program) && value->Append(kIconSuffix);
}

bool MakeCommandValue(const char* program, TypeValue* value) {
    return value->Assign(kCommandPrefix) && value->Append(program) && value->Append(kCommandSuffix);
}

bool ProgramOfCommand(const char* command, char* program, size_t room) {
    // "PROGRAM" "%1" as written now, PROGRAM %1 as earlier installations wrote it.
    const bool quoted = command[0] == kCommandPrefix[0];
    const char* suffix = quoted ? kCommandSuffix : kOldCommandSuffix;
    const size_t from = quoted ? sizeof kCommandPrefix - 1 : 0;
    const size_t length = std::strlen(command);
    const size_t cut = std::strlen(suffix);
    return length > from + cut && std::strcmp(command + length - cut, suffix) == 0 &&
           gbk::CopyBytes(program, room, command + from, length - from - cut);
}

}  // namespace package
