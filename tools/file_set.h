// The files a package installs: the manifest's [[files]] rules turned into single files, each
// with its destination, in a fixed order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/manifest.h"

namespace sfxpack {

struct PackedFile {
    std::string sourcePath;  // on this machine
    std::string name;        // GBK
    std::string subFolder;   // GBK, levels joined by '\'; empty: the base folder itself
    int32_t folderKind = 0;
    int32_t shortcutFlags = 0;
    int32_t overwriteMode = 0;
    Compression compression = Compression::Lzw;
    uint64_t size = 0;  // when the rules were expanded
    size_t rule = 0;    // index of its rule in Manifest::files
};

// Expands every rule: a file is taken as it is, a folder with everything below it (the tree
// kept below the rule's subfolder), a glob pattern as each file or folder it matches. Files
// keep the order of their rules and are sorted by destination within one. Refuses a rule that
// finds nothing, a name Windows would not take or GBK cannot hold, and two files for the same
// destination as Windows compares names. Each message names the rule's setting and line.
bool ExpandFiles(const Manifest& manifest, std::vector<PackedFile>* files,
                 std::vector<std::string>* errors, std::vector<std::string>* warnings);

}  // namespace sfxpack
