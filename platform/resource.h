#pragma once

#include <cstdint>

namespace platform {

// The bytes of the running executable's resource (`id`, `type`), which belong to the loaded
// module and are never freed; nullptr and size 0 when there is no such resource.
const unsigned char* LoadResourceBlock(int id, const char* type, uint32_t* size);

}  // namespace platform
