#include "tools/package_reader.h"

#include <cstdio>
#include <cstring>

#include "install/package_pieces.h"
#include "package/package_sum.h"
#include "package/settings_loader.h"
#include "platform/file.h"

namespace sfxpack {

bool OpenPackage(const std::string& path, package::SetupModel* model,
                 package::PackageTrailer* trailer, std::string* error) {
    if (!platform::PathExists(path.c_str()) || platform::IsFolder(path.c_str())) {
        *error = path + ": no such file";
        return false;
    }
    if (!package::ReadTrailer(path.c_str(), trailer)) {
        if (trailer->signatureDamaged) {
            *error = path + ": damaged signature (the certificate table that its PE header names "
                            "does not end the file: it was changed after it was signed)";
            return false;
        }
        *error = path + ": not a package (no trailer \"&LEN:...,SEEK:....\" in its last " +
                 std::to_string(package::kTrailerWindow) + " bytes)";
        return false;
    }
    if (path.size() >= sizeof model->exePath) {
        *error = path + ": the path is too long";
        return false;
    }
    std::memcpy(model->exePath, path.c_str(), path.size() + 1);
    switch (package::LoadSettings(path.c_str(), model, trailer)) {
        case package::LoadResult::Loaded: {
            platform::RawFile package;
            if (package.OpenRead(path.c_str()))
                install::CheckPackagePieces(*model, trailer->offset, package);
            return true;
        }
        case package::LoadResult::NoTrailer: *error = path + ": not a package (no trailer)"; break;
        case package::LoadResult::BadTrailer:
            *error = path + ": damaged trailer (settings block of " +
                     std::to_string(trailer->length) + " bytes at offset " +
                     std::to_string(trailer->offset) + " does not lie before the trailer at " +
                     std::to_string(trailer->trailerOffset) + ")";
            break;
        case package::LoadResult::CannotExtract:
            *error = path + ": cannot read the settings block";
            break;
        case package::LoadResult::NoMemory:
            *error = path + ": the settings block lists more files than memory holds";
            break;
    }
    return false;
}

const char* StorageOf(platform::RawFile& package, const package::FileEntry& entry) {
    if (!entry.compressed) return "stored";
    if (entry.solidPart >= 0) return "lzma-solid";
    unsigned char header[archive::tavq::kHeaderSize] = {};
    if (package.Seek(entry.dataOffset, platform::RawFile::Origin::Begin) != entry.dataOffset ||
        package.Read(header, sizeof header) != sizeof header)
        return "unknown";
    const archive::tavq::Header parsed = archive::tavq::ParseHeader(header);
    if (!parsed.magic) return "unknown";
    switch (archive::tavq::MethodOf(parsed.version)) {
        case archive::tavq::Method::Lzw: return "lzw";
        case archive::tavq::Method::Lzma: return "lzma";
        case archive::tavq::Method::Solid: return "lzma-solid";
        case archive::tavq::Method::Unknown: break;
    }
    return "unknown";
}

bool ChecksumHolds(const std::string& path, const package::SetupModel& model,
                   const package::PackageTrailer& trailer, std::string* error) {
    using State = package::ChecksumRecord::State;
    const package::ChecksumRecord& record = trailer.checksum;
    if (record.state == State::Damaged) {
        *error = path + ": the checksum record after the trailer is damaged";
        return false;
    }
    if (record.state == State::None) {
        if (!model.checksumMarked) return true;
        *error = path + ": the settings say the trailer carries a checksum record, and it has none";
        return false;
    }
    platform::RawFile file;
    uint32_t crc = 0;
    if (!file.OpenRead(path.c_str()) ||
        package::SumOfRange(file, record.from, record.to - record.from, &crc) !=
            package::SumResult::Match) {
        *error = path + ": the bytes the checksum covers cannot be read";
        return false;
    }
    if (crc == record.crc) return true;
    char sums[64];
    std::snprintf(sums, sizeof sums, "sum to %08X, the record says %08X", crc, record.crc);
    *error = path + ": checksum mismatch: bytes " + std::to_string(record.from) + " to " +
             std::to_string(record.to) + " " + sums +
             " (the package was damaged or changed after it was built)";
    return false;
}

}  // namespace sfxpack
