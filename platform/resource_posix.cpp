#include "platform/resource.h"

namespace platform {

// Programs built for the host carry no resources.
const unsigned char* LoadResourceBlock(int, const char*, uint32_t* size) {
    *size = 0;
    return nullptr;
}

}  // namespace platform
