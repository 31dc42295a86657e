// Writes a package: a copy of the installer stub, then the pictures, the icon and the data of
// every file, then the scrambled settings block and the trailer that points at it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/item_list.h"
#include "tools/file_set.h"
#include "tools/manifest.h"

namespace sfxpack {

struct BuildStats {
    size_t files = 0;
    size_t compressedFiles = 0;
    uint64_t bytesIn = 0;   // the files' own bytes
    uint64_t bytesOut = 0;  // what the package stores for them
    int64_t packageSize = 0;
};

// Told, as the files are read, how many of their bytes are done.
class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    virtual void Advance(uint64_t bytes) = 0;
};

// Where the package holds a piece: a length of 0 means the piece is absent.
struct StoredPiece {
    int32_t length = 0;
    int32_t offset = 0;
    bool compressed = false;
};

struct PackageLayout {
    StoredPiece picture;
    StoredPiece icon;
    StoredPiece backgroundPicture;
    std::vector<StoredPiece> files;  // one per PackedFile, in the same order
};

// The settings block, unscrambled: the settings items, then the items of each file, in the
// order of package/settings_layout.h, eight items a row.
package::ItemList SettingsItems(const Manifest& manifest, const std::vector<PackedFile>& files,
                                const PackageLayout& pieces);

// Why a stub is refused whose certificate table does not end the file.
constexpr const char kDamagedStubSignature[] =
    "its certificate table does not end the file (the stub was changed after it was signed)";

// Writes the package into `outputPath` through a temporary file beside it, which is renamed at
// the end and removed on any failure (an interruption by SIGINT or SIGTERM included), so an
// existing package is never replaced by a broken one. False with a sentence in `error`.
bool WritePackage(const Manifest& manifest, const std::vector<PackedFile>& files,
                  const std::string& stubPath, const std::string& outputPath,
                  BuildProgress* progress, BuildStats* stats, std::string* error);

}  // namespace sfxpack
