// Writing files on the publisher's machine all or nothing.
#pragma once

#include <cstdint>
#include <string>

#include "package/setup_model.h"
#include "tools/package_reader.h"

namespace sfxpack {

// Decodes node `nodeIndex` of the archive of `length` bytes at `offset` of `container` into
// `outputPath`. The file takes its name only when complete: on failure whatever was there
// before stays, no partial file remains, and `error` says why.
bool DecodeNodeToFile(const std::string& container, int64_t offset, int64_t length,
                      uint32_t nodeIndex, const std::string& outputPath, std::string* error);

// The same for a package's compressed file, through the package's decoder.
bool DecodeEntryToFile(FileDecoder& decoder, const package::FileEntry& entry,
                       const std::string& outputPath, std::string* error);

// Copies `length` bytes at `offset` of `container` into `outputPath`, all or nothing like
// DecodeNodeToFile. The range must lie within the container.
bool CopyRangeToFile(const std::string& container, int64_t offset, int64_t length,
                     const std::string& outputPath, std::string* error);

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// Writes `bytes` as the file `path`, all or nothing like DecodeNodeToFile.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace sfxpack
