// Any bytes as the settings a package carries: as the trailer's text, as an item list read
// item by item, and as the whole settings block read into the model. The block behind an
// uninstaller has a target of its own (uninstaller_block_fuzz.cpp).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "package/item_list.h"
#include "package/settings_loader.h"
#include "package/setup_model.h"
#include "package/trailer.h"

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
    return 0;
}
