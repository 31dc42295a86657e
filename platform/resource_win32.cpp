#include "platform/resource.h"

#include <windows.h>

#include "platform/text_win32.h"

namespace platform {

const unsigned char* LoadResourceBlock(int id, const char* type, uint32_t* size) {
    *size = 0;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), Wide(type).c_str());
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    *size = SizeofResource(nullptr, found);
    return static_cast<const unsigned char*>(bytes);
}

}  // namespace platform
