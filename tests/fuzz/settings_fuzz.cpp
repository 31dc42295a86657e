// Any bytes as the settings a package carries: as the trailer's text, as an item list read
// item by item, as the whole settings block read into the model, and as the block behind an
// uninstaller, which must read back the same once written again.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "package/item_list.h"
#include "package/settings_loader.h"
#include "package/setup_model.h"
#include "package/trailer.h"
#include "package/uninstaller_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    package::ParseTrailerText(bytes.c_str(), bytes.size());

    package::ItemList items;
    items.SetText(bytes.data(), bytes.size());
    for (size_t i = 0; i <= size; ++i) {
        const char* item = items.NextItem();
        if (std::strlen(item) > package::ItemList::kItemRoom) __builtin_trap();
    }

    package::ItemList settings;
    settings.SetText(bytes.data(), bytes.size());
    package::SetupModel model;
    package::ReadSettings(settings, &model);

    package::UninstallerBlock block;
    const int64_t blockOffset = 1 << 20;
    if (package::ParseUninstallerBlock(bytes.data(), bytes.size(), blockOffset, &block) ==
        package::UninstallerBlockResult::Loaded) {
        package::ItemList written;
        package::UninstallerBlock again;
        if (!package::BuildUninstallerBlock(block, &written) ||
            package::ParseUninstallerBlock(written.text(), written.size(), blockOffset, &again) !=
                package::UninstallerBlockResult::Loaded ||
            std::memcmp(&block, &again, sizeof block) != 0)
            __builtin_trap();
    }
    return 0;
}
