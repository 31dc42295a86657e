#include "platform/icon_directory.h"

namespace platform {

unsigned IconImageCount(const unsigned char* bytes, size_t size) {
    if (!bytes || size < kIconHeaderSize) return 0;
    const unsigned count = bytes[4] | bytes[5] << 8;
    if (bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 || bytes[3] != 0 || count == 0 ||
        count > kMaxIconImages || kIconHeaderSize + count * kIconEntrySize > size)
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        const IconImage image = IconImageAt(bytes, i);
        if (image.size == 0 || image.offset > size || image.size > size - image.offset) return 0;
    }
    return count;
}

}  // namespace platform
