// The block behind the uninstaller that the installer writes (unwise.exe): nine items, eight a
// row, scrambled with the settings key and found through a trailer at the end of the file, the
// way a package's settings are found. The installer writes it; the uninstaller and
// `sfxpack info` read it, through these functions, so the three agree on one layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/item_list.h"
#include "package/setup_model.h"
#include "package/trailer.h"
#include "platform/file.h"

namespace package {

constexpr int kUninstallerItems = 9;
constexpr int kUninstallerColumns = 8;
// The uninstaller's texts are the settings' uninstaller texts, passed on.
constexpr int kUninstallerTexts = layout::kUninstallTexts;

struct UninstallerBlock {
    char appName[256] = {};
    // Pieces of unwise.exe itself, copied from the installer. A length of 0 means none; the
    // offset then says where it would have begun.
    int32_t pictureLength = 0;
    int32_t pictureOffset = 0;
    int32_t iconLength = 0;
    int32_t iconOffset = 0;
    char texts[kUninstallerTexts][kUninstallTextRoom] = {};
};

// The plain block, before scrambling. False when the memory for it cannot be had.
bool BuildUninstallerBlock(const UninstallerBlock& block, ItemList* items);

enum class UninstallerBlockResult {
    Loaded,
    NoTrailer,     // no trailer in the last bytes of the file (or the file cannot be opened)
    BadTrailer,    // the block it names does not lie between the file's start and the trailer
    CannotRead,    // the block cannot be read, or the memory for it cannot be had
    NotNineItems,  // the block is not nine whole items and nothing more: damaged, or it is the
                   // settings block of a package (which has 64 items and more)
    BadNumber,     // a length or offset is not a decimal number from 0 to 2147483647
    PieceOutside,  // the picture or the icon does not lie before the block
};

// Reads a plain block of `length` bytes into `block`, checking what a damaged block gives away:
// the item count, the numbers, and (with `blockOffset`, the block's place in its file) that the
// pieces lie before the block. Fields of `block` are undefined unless Loaded.
UninstallerBlockResult ParseUninstallerBlock(const char* text, size_t length, int64_t blockOffset,
                                             UninstallerBlock* block);

// The application an uninstaller belongs to: item 1 of its block, found through its trailer, into
// `name` (cut at `room`). False when `path` is no uninstaller of ours that can be read.
bool ReadUninstallerAppName(const platform::SysChar* path, char* name, size_t room);

// Finds the block of the file at `path` through its trailer, unscrambles and parses it.
// `trailer` (when given) receives the trailer once one is found.
UninstallerBlockResult ReadUninstallerBlock(const platform::SysChar* path, UninstallerBlock* block,
                                            PackageTrailer* trailer = nullptr);

}  // namespace package
