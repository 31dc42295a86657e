// Any bytes as the block behind an unwise.exe, the first four giving the block's place in its
// file: a block that reads whole names only pieces before it, holds no zero byte, and reads back
// the same once written again; scrambled, it reads through the file as the uninstaller reads it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "package/item_list.h"
#include "package/uninstaller_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int64_t blockOffset =
        static_cast<int64_t>(data[0] | data[1] << 8 | data[2] << 16 | (data[3] & 0x7F) << 24);
    const char* text = reinterpret_cast<const char*>(data + 4);
    const size_t length = size - 4;

    package::UninstallerBlock block;
    if (package::ParseUninstallerBlock(text, length, blockOffset, &block) !=
        package::UninstallerBlockResult::Loaded)
        return 0;
    if (std::memchr(text, 0, length)) __builtin_trap();
    const int32_t pieces[2][2] = {{block.pictureLength, block.pictureOffset},
                                  {block.iconLength, block.iconOffset}};
    for (const auto& piece : pieces)
        if (piece[0] < 0 || piece[1] < 0 ||
            (piece[0] > 0 && piece[1] + static_cast<int64_t>(piece[0]) > blockOffset))
            __builtin_trap();

    package::ItemList written;
    package::UninstallerBlock again;
    if (!package::BuildUninstallerBlock(block, &written) ||
        package::ParseUninstallerBlock(written.text(), written.size(), blockOffset, &again) !=
            package::UninstallerBlockResult::Loaded ||
        std::memcmp(&block, &again, sizeof block) != 0)
        __builtin_trap();
    return 0;
}
