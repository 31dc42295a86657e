#include "package/file_type_keys.h"

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

}  // namespace package
