#include "tools/package_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "package/crc32.h"
#include "package/limits.h"
#include "package/package_end.h"
#include "package/scramble.h"
#include "package/settings_layout.h"
#include "package/trailer.h"
#include "package/words.h"
#include "platform/file.h"
#include "archive/tavq_format.h"
#include "tools/lzma_encoder.h"
#include "tools/pending_output.h"
#include "tools/tavq_writer.h"

namespace sfxpack {

namespace {
namespace layout = package::layout;
using package::kLargestPackage;

class Writer {
public:
    // `level`: the LZMA preset, or -1 for each method's own; `solidBytes`: the size of the files
    // of the solid stream, which its dictionary need not pass.
    Writer(platform::RawFile& out, BuildProgress* progress, int level, uint64_t solidBytes)
        : out_(out), progress_(progress), level_(level), solidBytes_(solidBytes) {}

    // Appends `size` bytes and returns where they start; refuses to pass the 2 GiB mark.
    int32_t Append(const void* data, size_t size, const std::string& what) {
        if (position_ + static_cast<int64_t>(size) > kLargestPackage)
            throw std::length_error(
                "the package would grow past 2 GiB with " + what +
                " (the installer addresses every piece with a signed 32-bit offset)");
        const int64_t start = position_;
        if (summing_) crc_ = package::Crc32(crc_, data, size);
        if (!out_.Write(data, size))
            throw std::runtime_error(std::string("cannot write the package (") +
                                     std::strerror(static_cast<int>(out_.error())) + ")");
        position_ += static_cast<int64_t>(size);
        return static_cast<int32_t>(start);
    }

    // The whole stub, through a fixed buffer; a signed stub without its signature, which the
    // package would bury in its middle (a damaged file to every reader). The checksum covers
    // what follows.
    void CopyStub(const std::string& stubPath) {
        platform::RawFile stub;
        if (!stub.OpenRead(stubPath.c_str()))
            throw std::runtime_error(stubPath + ": cannot be read");
        package::CertificateTable table;
        const package::Signature signature = package::FindCertificateTable(stub, &table);
        if (signature == package::Signature::Damaged)
            throw std::runtime_error(stubPath + ": " + kDamagedStubSignature);
        int64_t left = signature == package::Signature::Present ? table.offset : stub.Length();
        stub.Seek(0, platform::RawFile::Origin::Begin);
        char buffer[1 << 16];
        for (size_t got; left > 0 && (got = stub.Read(buffer, static_cast<size_t>(std::min<int64_t>(
                                                                  left, sizeof buffer)))) > 0;) {
            // The directory entry and the header's checksum lie in the first block.
            if (signature == package::Signature::Present && position_ == 0) {
                Clear(buffer, got, table.entryOffset, 8);
                Clear(buffer, got, table.checksumOffset, 4);
            }
            Append(buffer, got, "the stub " + stubPath);
            left -= static_cast<int64_t>(got);
        }
        if (left > 0) throw std::runtime_error(stubPath + ": cannot be read");
        summing_ = true;
        sumFrom_ = position_;
    }

    // The checksum record after the trailer, then spaces to a multiple of 8 bytes: a signer
    // then adds no padding of its own.
    void ChecksumRecord() {
        char record[package::kTrailerRoom + 8];
        size_t length = package::FormatChecksumRecord(crc_, sumFrom_, record);
        summing_ = false;
        while ((position_ + static_cast<int64_t>(length)) % 8 != 0) record[length++] = ' ';
        Append(record, length, "the checksum");
    }

    StoredPiece Picture(const std::string& path) {
        StoredPiece piece;
        if (path.empty()) return piece;
        const std::string bytes = ReadAll(path);
        piece.length = static_cast<int32_t>(bytes.size());
        piece.offset = Append(bytes.data(), bytes.size(), path);
        return piece;
    }

    // A file of the solid stream is only read and encoded here; where it lies is known once
    // the stream is whole (Solid).
    StoredPiece File(const PackedFile& file, BuildStats* stats) {
        StoredPiece piece;
        std::string bytes = ReadAll(file.sourcePath);
        stats->bytesIn += bytes.size();
        if (file.compression == Compression::Solid && !bytes.empty()) {
            if (!solid_)
                solid_.reset(new LzmaEncoder(level_ < 0 ? LzmaEncoder::kDefaultSolidLevel : level_,
                                             solidBytes_));
            if (bytes.size() > 0xFFFFFFFFu)
                throw std::length_error(file.sourcePath + " is larger than 4 GiB");
            SolidPart part{static_cast<uint32_t>(bytes.size()),
                           package::Crc32(0, bytes.data(), bytes.size())};
            // A copy of an earlier file of the stream names it, and the installer keeps that
            // file's bytes in memory for it, within its room for them.
            Earlier* same = Same(solidEarlier_, bytes);
            if (same && !same->kept &&
                solidKeptBytes_ + bytes.size() > archive::tavq::kSolidKeptRoom)
                same = nullptr;
            if (same) {
                solidKeptBytes_ += same->kept ? 0 : bytes.size();
                same->kept = true;
                part.copyOf = static_cast<uint32_t>(same->part + 1);
            } else {
                solid_->Add(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
                solidEarlier_[std::hash<std::string>()(bytes)].push_back(
                    Earlier{bytes.size(), file.sourcePath, StoredPiece{}, solidParts_.size()});
            }
            solidParts_.push_back(part);
            ++stats->files;
            ++stats->compressedFiles;
            if (progress_) progress_->Advance(file.size);
            piece.compressed = true;
            return piece;
        }
        // Files of the same bytes share one piece: a tree often holds one file many times over
        // (licences, libraries under two names). LZMA files only: a package that asks for
        // nothing new stays byte for byte what earlier versions wrote.
        const bool shared = file.compression == Compression::Lzma && !bytes.empty();
        if (const Earlier* same = shared ? Same(earlier_, bytes) : nullptr) {
            ++stats->files;
            stats->compressedFiles += same->piece.compressed ? 1 : 0;
            if (progress_) progress_->Advance(file.size);
            return same->piece;
        }
        std::string archive;
        if (file.compression != Compression::Stored && !bytes.empty()) {
            // An LZMA node keeps no name: the settings name the file, and nobody reads it back.
            const bool lzma = file.compression == Compression::Lzma;
            std::vector<TavqNode> nodes{TavqNode{lzma ? "" : file.name, std::move(bytes)}};
            archive = BuildTavqArchive(nodes, lzma ? Method::Lzma : Method::Lzw,
                                       level_ < 0 ? LzmaEncoder::kDefaultLevel : level_);
            bytes = std::move(nodes[0].data);
            piece.compressed = archive.size() < bytes.size();
        }
        const std::string& stored = piece.compressed ? archive : bytes;
        piece.length = static_cast<int32_t>(stored.size());
        piece.offset = Append(stored.data(), stored.size(), file.sourcePath);
        stats->bytesOut += stored.size();
        stats->compressedFiles += piece.compressed ? 1 : 0;
        ++stats->files;
        if (progress_) progress_->Advance(file.size);
        if (shared)
            earlier_[std::hash<std::string>()(bytes)].push_back(
                Earlier{bytes.size(), file.sourcePath, piece});
        return piece;
    }

    int64_t position() const { return position_; }

    // The solid stream's archive, after every other file; the piece every file of it names.
    StoredPiece Solid(BuildStats* stats) {
        StoredPiece piece;
        if (!solid_) return piece;
        const std::string archive = BuildSolidArchive(solid_->Finish(), solidParts_);
        solid_.reset();
        piece.compressed = true;
        piece.length = static_cast<int32_t>(archive.size());
        piece.offset = Append(archive.data(), archive.size(), "the solid stream");
        stats->bytesOut += archive.size();
        return piece;
    }

private:
    struct Earlier {
        size_t size;
        std::string source;
        StoredPiece piece;  // a file of its own: where it lies
        size_t part = 0;    // a file of the solid stream: its place
        bool kept = false;  // ... and a later one copies it
    };
    using SameBytes = std::unordered_map<size_t, std::vector<Earlier>>;  // by the bytes' hash

    // The earlier file among `files` of exactly these bytes, or null.
    Earlier* Same(SameBytes& files, const std::string& bytes) {
        const auto found = files.find(std::hash<std::string>()(bytes));
        if (found == files.end()) return nullptr;
        for (Earlier& other : found->second)
            if (other.size == bytes.size() && ReadAll(other.source) == bytes) return &other;
        return nullptr;
    }

    std::string ReadAll(const std::string& path) {
        platform::RawFile in;
        if (!in.OpenRead(path.c_str())) throw std::runtime_error(path + ": cannot be read");
        const int64_t length = in.Length();
        if (position_ + length > kLargestPackage)
            throw std::length_error(
                "the package would grow past 2 GiB with " + path +
                " (the installer addresses every piece with a signed 32-bit offset)");
        std::string bytes(static_cast<size_t>(length), '\0');
        char more;
        if (in.Read(&bytes[0], bytes.size()) != bytes.size() || in.Read(&more, 1) != 0)
            throw std::runtime_error(path + ": changed while it was being read");
        return bytes;
    }

    static void Clear(char* buffer, size_t size, int64_t at, size_t count) {
        if (at >= 0 && static_cast<uint64_t>(at) + count <= size)
            std::memset(buffer + at, 0, count);
    }

    platform::RawFile& out_;
    BuildProgress* progress_;
    int64_t position_ = 0;
    bool summing_ = false;
    int64_t sumFrom_ = 0;
    uint32_t crc_ = 0;
    int level_;
    uint64_t solidBytes_;
    std::unique_ptr<LzmaEncoder> solid_;
    std::vector<SolidPart> solidParts_;
    SameBytes earlier_;       // the LZMA files with pieces of their own
    SameBytes solidEarlier_;  // the files in the solid stream
    uint64_t solidKeptBytes_ = 0;
};

std::string Number(int64_t value) { return std::to_string(value); }

}  // namespace

package::ItemList SettingsItems(const Manifest& m, const std::vector<PackedFile>& files,
                                const PackageLayout& pieces) {
    // Every setting goes to its item by number and the items then go out in order, so the order
    // is the layout's alone. Items no setting fills (the unused ones) stay empty.
    std::string settings[layout::kSettingsItems];
    for (int page = 0; page < layout::kPages; ++page)
        for (int line = 0; line < layout::kLinesPerPage; ++line)
            settings[layout::PageLineItem(page, line)] = m.pageTexts[page][line];
    settings[layout::kAppName] = m.appName;
    settings[layout::kReadmeFile] = m.readmeFile;
    settings[layout::kRunProgram] = m.runProgram;
    for (int i = 0; i < layout::kUninstallTexts; ++i)
        settings[layout::UninstallTextItem(i)] = m.uninstallTexts[i];
    settings[layout::kPictureLength] = Number(pieces.picture.length);
    settings[layout::kPictureOffset] = Number(pieces.picture.offset);
    settings[layout::kIconLength] = Number(pieces.icon.length);
    settings[layout::kIconOffset] = Number(pieces.icon.offset);
    for (int type = 0; type < layout::kFileTypes; ++type) {
        settings[layout::FileTypeProgramItem(type)] = m.fileTypes[type].program;
        settings[layout::FileTypeExtensionItem(type)] = m.fileTypes[type].extension;
    }
    settings[layout::kShowBackground] = package::words::FlagWord(m.showBackground);
    settings[layout::kBackgroundPictureLength] = Number(pieces.backgroundPicture.length);
    settings[layout::kBackgroundPictureOffset] = Number(pieces.backgroundPicture.offset);
    settings[layout::kBackgroundCaption] = m.backgroundCaption;
    settings[layout::kBackgroundColor] = Number(m.backgroundColor);
    settings[layout::kBackgroundHasCaption] = package::words::FlagWord(m.backgroundHasCaption);
    settings[layout::kChecksumMark] = layout::kChecksumMarkWord;

    package::ItemList items;
    items.columnsPerRow = layout::kItemsPerRow;
    for (const std::string& item : settings) items.AddItem(item.c_str());
    for (size_t i = 0; i < files.size(); ++i) {
        const PackedFile& file = files[i];
        std::string entry[layout::kFileItems];
        entry[layout::kFileName] = file.name;
        entry[layout::kFileFolder] = package::words::FolderWord(file.folderKind);
        entry[layout::kFileSubFolder] = file.subFolder;
        entry[layout::kFileShortcuts] = Number(file.shortcutFlags);
        entry[layout::kFileOverwrite] = package::words::OverwriteWord(file.overwriteMode);
        entry[layout::kFileDataLength] = Number(pieces.files[i].length);
        entry[layout::kFileDataOffset] = Number(pieces.files[i].offset);
        entry[layout::kFileCompressed] = package::words::FlagWord(pieces.files[i].compressed);
        for (const std::string& item : entry) items.AddItem(item.c_str());
    }
    return items;
}

bool WritePackage(const Manifest& manifest, const std::vector<PackedFile>& files,
                  const std::string& stubPath, const std::string& outputPath,
                  BuildProgress* progress, BuildStats* stats, std::string* error) {
    struct stat stub;
    if (::stat(stubPath.c_str(), &stub) != 0 || !S_ISREG(stub.st_mode)) {
        *error = "no installer stub at " + stubPath;
        return false;
    }
    // The package replaces the output only at the end; an output that is one of the inputs
    // would lose that input.
    struct stat existing;
    if (::stat(outputPath.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            *error = outputPath + " is a folder";
            return false;
        }
        std::vector<std::string> inputs = {stubPath, manifest.path, manifest.picture, manifest.icon,
                                           manifest.backgroundPicture};
        for (const PackedFile& file : files) inputs.push_back(file.sourcePath);
        for (const std::string& input : inputs)
            if (!input.empty() && SameFile(existing, input)) {
                *error = outputPath + " is " + input + ", an input of the package";
                return false;
            }
    }

    PendingOutput temp;
    if (!temp.Create(outputPath, error)) return false;
    platform::RawFile& out = temp.file();
    *stats = BuildStats();
    try {
        uint64_t solidBytes = 0;
        for (const PackedFile& file : files)
            if (file.compression == Compression::Solid) solidBytes += file.size;
        Writer writer(out, progress, manifest.level, solidBytes);
        writer.CopyStub(stubPath);
        PackageLayout pieces;
        pieces.picture = writer.Picture(manifest.picture);
        pieces.icon = writer.Picture(manifest.icon);
        pieces.backgroundPicture = writer.Picture(manifest.backgroundPicture);
        for (const PackedFile& file : files) pieces.files.push_back(writer.File(file, stats));
        const StoredPiece solid = writer.Solid(stats);
        for (size_t i = 0; i < files.size(); ++i)
            if (files[i].compression == Compression::Solid && pieces.files[i].compressed)
                pieces.files[i] = solid;

        package::ItemList items = SettingsItems(manifest, files, pieces);
        std::string block = items.text();
        package::ScrambleBlock(reinterpret_cast<unsigned char*>(&block[0]),
                               static_cast<long>(block.size()), package::kSettingsKey);
        const int32_t blockOffset = writer.Append(block.data(), block.size(), "the settings");
        char trailer[package::kTrailerRoom];
        const size_t trailerLength =
            package::FormatTrailer(static_cast<int32_t>(block.size()), blockOffset, trailer);
        writer.Append(trailer, trailerLength, "the trailer");
        writer.ChecksumRecord();
        stats->packageSize = writer.position();
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
    return temp.Commit(outputPath, stub.st_mode & 0777, error);
}

}  // namespace sfxpack
