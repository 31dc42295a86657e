// Reads a package the way the installer does, for the commands that inspect one.
#pragma once

#include <memory>
#include <string>

#include "archive/archive_reader.h"
#include "archive/solid_stream.h"
#include "package/setup_model.h"
#include "package/trailer.h"
#include "platform/file.h"

namespace sfxpack {

// Loads the settings and file list of `path` with the installer's own loader, and has its
// pieces checked as the installer checks them at start-up, which tells each file of a solid
// archive its place in it. On failure returns false with a sentence that says what is wrong.
bool OpenPackage(const std::string& path, package::SetupModel* model,
                 package::PackageTrailer* trailer, std::string* error);

// Decodes a package's compressed files as the installer does: asked for in list order, a solid
// stream is decoded once.
class FileDecoder {
public:
    explicit FileDecoder(const std::string& path) : decoder_(package_) {
        package_.OpenRead(path.c_str());
    }
    archive::ExtractResult Decode(const package::FileEntry& entry, archive::ByteSink& sink) {
        return decoder_.Decode(entry.dataOffset, entry.dataLength, entry.solidPart, sink);
    }

private:
    platform::RawFile package_;
    archive::FileDecoder decoder_;
};

// How file `entry` of `package` (open for reading) is stored: "stored", "lzw", "lzma" or
// "lzma-solid" (from its archive's version), or "unknown".
const char* StorageOf(platform::RawFile& package, const package::FileEntry& entry);

// Whether the package's bytes still sum to its checksum record, as the installer checks them
// before its first page. A package without a record (another writer's) passes, unless its
// settings say it had one. False with a sentence in `error`.
bool ChecksumHolds(const std::string& path, const package::SetupModel& model,
                   const package::PackageTrailer& trailer, std::string* error);

}  // namespace sfxpack
