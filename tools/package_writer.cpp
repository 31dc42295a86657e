#include "tools/package_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "package/number.h"
#include "package/scramble.h"
#include "package/trailer.h"
#include "platform/file.h"
#include "tools/pending_output.h"
#include "tools/tavq_writer.h"
#include "tools/words.h"

namespace sfxpack {

namespace {
// Every offset and length of a package is a signed 32-bit number.
constexpr int64_t kLargestPackage = INT32_MAX;

class Writer {
public:
    Writer(platform::RawFile& out, BuildProgress* progress) : out_(out), progress_(progress) {}

    // Appends `size` bytes and returns where they start; refuses to pass the 2 GiB mark.
    int32_t Append(const void* data, size_t size, const std::string& what) {
        if (position_ + static_cast<int64_t>(size) > kLargestPackage)
            throw std::length_error(
                "the package would grow past 2 GiB with " + what +
                " (the installer addresses every piece with a signed 32-bit offset)");
        const int64_t start = position_;
        if (!out_.Write(data, size))
            throw std::runtime_error(std::string("cannot write the package (") +
                                     std::strerror(static_cast<int>(out_.error())) + ")");
        position_ += static_cast<int64_t>(size);
        return static_cast<int32_t>(start);
    }

    // The whole stub, through a fixed buffer.
    void CopyStub(const std::string& stubPath) {
        platform::RawFile stub;
        if (!stub.OpenRead(stubPath.c_str()))
            throw std::runtime_error(stubPath + ": cannot be read");
        char buffer[1 << 16];
        for (size_t got; (got = stub.Read(buffer, sizeof buffer)) > 0;)
            Append(buffer, got, "the stub " + stubPath);
    }

    StoredPiece Picture(const std::string& path) {
        StoredPiece piece;
        if (path.empty()) return piece;
        const std::string bytes = ReadAll(path);
        piece.length = static_cast<int32_t>(bytes.size());
        piece.offset = Append(bytes.data(), bytes.size(), path);
        return piece;
    }

    StoredPiece File(const PackedFile& file, BuildStats* stats) {
        StoredPiece piece;
        std::string bytes = ReadAll(file.sourcePath);
        stats->bytesIn += bytes.size();
        std::string archive;
        if (file.compress && !bytes.empty()) {
            std::vector<TavqNode> nodes{TavqNode{file.name, std::move(bytes)}};
            archive = BuildTavqArchive(nodes);
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
        return piece;
    }

    int64_t position() const { return position_; }

private:
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

    platform::RawFile& out_;
    BuildProgress* progress_;
    int64_t position_ = 0;
};

const char* Flag(bool value) { return value ? "TRUE" : "FALSE"; }

bool SameFile(const struct stat& a, const std::string& path) {
    struct stat b;
    return ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
}  // namespace

package::ItemList SettingsItems(const Manifest& m, const std::vector<PackedFile>& files,
                                const PackageLayout& layout) {
    package::ItemList items;
    items.columnsPerRow = 8;
    auto number = [&](int64_t value) { items.AddItem(std::to_string(value).c_str()); };
    auto text = [&](const std::string& item) { items.AddItem(item.c_str()); };
    for (const auto& page : m.pageTexts)
        for (const std::string& line : page) text(line);
    text(m.appName);
    text(m.readmeFile);
    text(m.runProgram);
    for (const std::string& uninstallText : m.uninstallTexts) text(uninstallText);
    items.AddItem("");  // item 48: unused
    number(layout.picture.length);
    number(layout.picture.offset);
    number(layout.icon.length);
    number(layout.icon.offset);
    for (const FileTypeRule& type : m.fileTypes) {
        text(type.program);
        text(type.extension);
    }
    items.AddItem(Flag(m.showBackground));
    number(layout.backgroundPicture.length);
    number(layout.backgroundPicture.offset);
    text(m.backgroundCaption);
    number(m.backgroundColor);
    items.AddItem(Flag(m.backgroundHasCaption));
    items.AddItem("");  // items 63 and 64: unused
    items.AddItem("");
    for (size_t i = 0; i < files.size(); ++i) {
        const PackedFile& file = files[i];
        text(file.name);
        text(FolderKeyword(file.folderKind));
        text(file.subFolder);
        number(file.shortcutFlags);
        text(OverwriteKeyword(file.overwriteMode));
        number(layout.files[i].length);
        number(layout.files[i].offset);
        items.AddItem(Flag(layout.files[i].compressed));
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
    platform::RawFile out;
    if (!temp.Create(outputPath, &out, error)) return false;
    *stats = BuildStats();
    try {
        Writer writer(out, progress);
        writer.CopyStub(stubPath);
        PackageLayout layout;
        layout.picture = writer.Picture(manifest.picture);
        layout.icon = writer.Picture(manifest.icon);
        layout.backgroundPicture = writer.Picture(manifest.backgroundPicture);
        for (const PackedFile& file : files) layout.files.push_back(writer.File(file, stats));

        package::ItemList items = SettingsItems(manifest, files, layout);
        std::string block = items.text();
        package::ScrambleBlock(reinterpret_cast<unsigned char*>(&block[0]),
                               static_cast<long>(block.size()), package::kSettingsKey);
        const int32_t blockOffset = writer.Append(block.data(), block.size(), "the settings");
        char trailer[package::kTrailerRoom];
        const size_t trailerLength =
            package::FormatTrailer(static_cast<int32_t>(block.size()), blockOffset, trailer);
        writer.Append(trailer, trailerLength, "the trailer");
        stats->packageSize = writer.position();
        out.Close();
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
    return temp.Commit(outputPath, stub.st_mode & 0777, error);
}

}  // namespace sfxpack
