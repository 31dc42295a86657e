// The publisher's description of a package: a TOML file (the README shows a complete one), read
// and checked against everything the installer relies on before a byte of the package is
// written. Texts come out in GBK, ready to be stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/settings_layout.h"
#include "package/setup_model.h"

namespace sfxpack {

// How a file's bytes are stored: as they are, LZW-encoded file by file (the format every
// installer reads), LZMA-encoded file by file, or in the package's one solid LZMA stream.
enum class Compression { Stored, Lzw, Lzma, Solid };

// One [[files]] table: which files, and where and how they are installed.
struct FileRule {
    std::string source;  // as written (UTF-8): a file, a folder or a glob pattern
    int32_t folderKind = package::kFolderInstall;
    std::string subFolder;  // UTF-8, levels joined by '\', no '\' at either end; may be empty
    int32_t shortcutFlags = 0;
    int32_t overwriteMode = package::kOverwriteAlways;
    Compression compression = Compression::Lzw;  // without `compress`, the manifest's method
    std::string setting;  // "files[2]", for messages
    int line = 0;         // where the table starts in the manifest
    int sourceLine = 0;   // where its source is written
};

struct FileTypeRule {
    std::string extension;  // GBK, without its dot; empty: no association
    std::string program;    // GBK, as stored: "INSTALL_FOLDER\viewer.exe"
};

struct Manifest {
    std::string path;
    std::string folder;  // relative sources and pictures start here; ends with '/'

    std::string pageTexts[package::layout::kPages][package::layout::kLinesPerPage];  // GBK
    std::string appName;                                                             // GBK
    std::string readmeFile;  // GBK, as stored with its folder word; empty: none
    std::string runProgram;  // likewise
    std::string uninstallTexts[package::layout::kUninstallTexts];
    std::string picture;  // paths on this machine; empty: none
    std::string icon;
    std::string backgroundPicture;
    FileTypeRule fileTypes[package::layout::kFileTypes];
    bool showBackground = false;
    std::string backgroundCaption;  // GBK
    uint32_t backgroundColor = 0;   // 0x00BBGGRR
    bool backgroundHasCaption = false;
    std::vector<FileRule> files;
    // [compression]: the method of the rules that do not name one, and the LZMA preset; -1 for
    // the preset each method takes unless told (LzmaEncoder).
    Compression method = Compression::Lzw;
    int level = -1;

    // The readme, program and file-type programs that name a file of the install folder, which
    // the package should then install; `path` is below the install folder (UTF-8, levels joined
    // by '\').
    struct InstalledPath {
        std::string setting;
        int line;
        std::string path;
    };
    std::vector<InstalledPath> installedPaths;

    // Settings that are stored but will have no effect, one sentence each.
    std::vector<std::string> warnings;
};

// Reads and checks the manifest at `path`. On refusal returns false with one message per
// problem, each naming the manifest's line and the setting: "setup.toml:12: pages.welcome[3]:
// is 52 bytes long in GBK; the welcome page shows at most 47".
bool ReadManifest(const std::string& path, Manifest* manifest, std::vector<std::string>* errors);

// "setup.toml:12: files[2].source: <text>", the form of every message about a manifest.
std::string ManifestMessage(const Manifest& manifest, int line, const std::string& setting,
                            const std::string& text);

}  // namespace sfxpack
