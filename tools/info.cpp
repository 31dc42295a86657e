// sfxpack info: everything the installer will read from a package.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "package/settings_layout.h"
#include "package/setup_model.h"
#include "package/uninstaller_block.h"
#include "tools/commands.h"
#include "tools/package_reader.h"
#include "tools/text.h"
#include "tools/words.h"

namespace sfxpack {

namespace {
using package::layout::kPageNames;

std::string U(const char* gbk) { return GbkToUtf8(gbk); }
std::string J(const char* gbk) { return JsonString(GbkToUtf8(gbk)); }
std::string N(int64_t value) { return std::to_string(value); }

// What the trailer's checksum record says (sfxpack verify checks it).
std::string ChecksumText(const package::PackageTrailer& t) {
    using State = package::ChecksumRecord::State;
    if (t.checksum.state == State::None) return "none";
    if (t.checksum.state == State::Damaged) return "damaged record";
    char text[96];
    std::snprintf(text, sizeof text, "CRC-32 %08X of bytes %lld to %lld", t.checksum.crc,
                  static_cast<long long>(t.checksum.from), static_cast<long long>(t.checksum.to));
    return text;
}

int64_t FileLength(const package::SetupModel& m) {
    platform::RawFile file;
    return file.OpenRead(m.exePath) ? file.Length() : 0;
}

// "stored", "compressed" (LZW, as every package had it), "compressed (lzma)" or
// "compressed (lzma-solid, file 3, 1200 bytes)".
std::string Storage(platform::RawFile& package, const package::FileEntry& e) {
    const std::string method = StorageOf(package, e);
    if (!e.compressed) return "stored";
    if (method == "lzw") return "compressed";
    if (e.solidPart < 0) return "compressed (" + method + ")";
    return "compressed (" + method + ", file " + N(e.solidPart) + ", " + N(e.solidSize) + " bytes)";
}

void PrintText(const package::SetupModel& m, const package::PackageTrailer& t) {
    std::printf("trailer: settings block of %d bytes at offset %d, trailer at %lld\n", t.length,
                t.offset, static_cast<long long>(t.trailerOffset));
    std::printf("checksum: %s\n", ChecksumText(t).c_str());
    if (t.dataEnd < FileLength(m)) std::printf("signature: %lld bytes after the package\n",
                                              static_cast<long long>(FileLength(m) - t.dataEnd));
    for (int page = 0; page < package::kPageCount; ++page) {
        std::printf("page %s:\n", kPageNames[page]);
        for (int line = 0; line < package::PageText::kLines; ++line)
            std::printf("  line %d: %s\n", line, U(m.pageTexts[page].Line(line)).c_str());
    }
    std::printf("application name: %s\n", U(m.appName).c_str());
    std::printf("readme file: %s\n", U(m.readmeFile).c_str());
    std::printf("program to run: %s\n", U(m.runProgram).c_str());
    for (int i = 0; i < package::layout::kUninstallTexts; ++i)
        std::printf("uninstaller text %d: %s\n", i, U(m.uninstallTexts[i]).c_str());
    std::printf("picture: %d bytes at %d\n", m.pictureLength, m.pictureOffset);
    std::printf("icon: %d bytes at %d\n", m.iconLength, m.iconOffset);
    for (int i = 0; i < package::layout::kFileTypes; ++i)
        std::printf("file type %d: extension \"%s\", program \"%s\"\n", i,
                    U(m.fileTypes[i].extension).c_str(), U(m.fileTypes[i].program).c_str());
    std::printf("background: %s, picture %d bytes at %d, caption \"%s\", colour %s, title bar %s\n",
                m.showBackground ? "shown" : "not shown", m.backgroundPictureLength,
                m.backgroundPictureOffset, U(m.backgroundCaption).c_str(),
                ColorText(m.backgroundColor).c_str(), m.backgroundHasCaption ? "yes" : "no");
    std::printf("files: %d\n", m.fileList.count);
    platform::RawFile package;
    package.OpenRead(m.exePath);
    int index = 0;
    for (const package::FileEntry* e = m.fileList.first; e; e = e->next, ++index)
        std::printf(
            "  %d: name \"%s\", folder %s, subfolder \"%s\", shortcuts %s, overwrite %s, "
            "length %d, offset %d, %s\n",
            index, U(e->fileName).c_str(), FolderWord(e->folderKind), U(e->subFolder).c_str(),
            ShortcutWords(e->shortcutFlags).c_str(), OverwriteWord(e->overwriteMode), e->dataLength,
            e->dataOffset, Storage(package, *e).c_str());
}

std::string TrailerJson(const package::PackageTrailer& t) {
    return "{\"length\": " + N(t.length) + ", \"offset\": " + N(t.offset) +
           ", \"trailerOffset\": " + N(t.trailerOffset) + ", \"dataEnd\": " + N(t.dataEnd) +
           ", \"checksum\": " + JsonString(ChecksumText(t)) + "}";
}

std::string PieceJson(int32_t length, int32_t offset) {
    return "{\"length\": " + N(length) + ", \"offset\": " + N(offset) + "}";
}

// The four uninstaller texts, as a package carries them and as its uninstaller receives them.
using UninstallTexts = char[package::layout::kUninstallTexts][package::kUninstallTextRoom];

std::string TextsJson(const UninstallTexts& texts) {
    std::string out = "[";
    for (int i = 0; i < package::layout::kUninstallTexts; ++i)
        out += std::string(i ? ", " : "") + J(texts[i]);
    return out + "]";
}

void PrintJson(const package::SetupModel& m, const package::PackageTrailer& t) {
    std::string out = "{\n  \"kind\": \"package\",\n  \"trailer\": " + TrailerJson(t) + ",\n";
    out += "  \"pages\": {";
    for (int page = 0; page < package::kPageCount; ++page) {
        out += std::string(page ? ", " : "") + "\"" + kPageNames[page] + "\": [";
        for (int line = 0; line < package::PageText::kLines; ++line)
            out += std::string(line ? ", " : "") + J(m.pageTexts[page].Line(line));
        out += "]";
    }
    out += "},\n";
    out += "  \"appName\": " + J(m.appName) + ",\n";
    out += "  \"readmeFile\": " + J(m.readmeFile) + ",\n";
    out += "  \"runProgram\": " + J(m.runProgram) + ",\n";
    out += "  \"uninstallTexts\": " + TextsJson(m.uninstallTexts) + ",\n";
    out += "  \"picture\": " + PieceJson(m.pictureLength, m.pictureOffset) + ",\n";
    out += "  \"icon\": " + PieceJson(m.iconLength, m.iconOffset) + ",\n";
    out += "  \"fileTypes\": [";
    for (int i = 0; i < package::layout::kFileTypes; ++i)
        out += std::string(i ? ", " : "") + "{\"extension\": " + J(m.fileTypes[i].extension) +
               ", \"program\": " + J(m.fileTypes[i].program) + "}";
    out += "],\n";
    out += "  \"background\": {\"show\": " + std::string(m.showBackground ? "true" : "false") +
           ", \"pictureLength\": " + N(m.backgroundPictureLength) +
           ", \"pictureOffset\": " + N(m.backgroundPictureOffset) +
           ", \"caption\": " + J(m.backgroundCaption) + ", \"color\": \"" +
           ColorText(m.backgroundColor) +
           "\", \"titleBar\": " + (m.backgroundHasCaption ? "true" : "false") + "},\n";
    out += "  \"files\": [";
    platform::RawFile package;
    package.OpenRead(m.exePath);
    for (const package::FileEntry* e = m.fileList.first; e; e = e->next) {
        out += std::string(e == m.fileList.first ? "\n" : ",\n") +
               "    {\"name\": " + J(e->fileName) + ", \"folder\": \"" + FolderWord(e->folderKind) +
               "\", \"subfolder\": " + J(e->subFolder) + ", \"shortcuts\": " + N(e->shortcutFlags) +
               ", \"overwrite\": \"" + OverwriteWord(e->overwriteMode) +
               "\", \"length\": " + N(e->dataLength) + ", \"offset\": " + N(e->dataOffset) +
               ", \"compressed\": " + (e->compressed ? "true" : "false") + ", \"method\": \"" +
               StorageOf(package, *e) + "\"" +
               (e->solidPart >= 0
                    ? ", \"solidFile\": " + N(e->solidPart) + ", \"size\": " + N(e->solidSize)
                    : std::string()) +
               "}";
    }
    out += m.fileList.count ? "\n  ]\n}\n" : "]\n}\n";
    std::fputs(out.c_str(), stdout);
}

// The block behind an unwise.exe: what the uninstaller will read.
void PrintUninstaller(const package::UninstallerBlock& b, const package::PackageTrailer& t,
                      bool json) {
    if (json) {
        std::fputs(("{\n  \"kind\": \"uninstaller\",\n  \"trailer\": " + TrailerJson(t) +
                    ",\n  \"appName\": " + J(b.appName) +
                    ",\n  \"picture\": " + PieceJson(b.pictureLength, b.pictureOffset) +
                    ",\n  \"icon\": " + PieceJson(b.iconLength, b.iconOffset) +
                    ",\n  \"uninstallTexts\": " + TextsJson(b.texts) + "\n}\n")
                       .c_str(),
                   stdout);
        return;
    }
    std::printf("trailer: uninstaller block of %d bytes at offset %d, trailer at %lld\n", t.length,
                t.offset, static_cast<long long>(t.trailerOffset));
    std::printf("application name: %s\n", U(b.appName).c_str());
    std::printf("picture: %d bytes at %d\n", b.pictureLength, b.pictureOffset);
    std::printf("icon: %d bytes at %d\n", b.iconLength, b.iconOffset);
    for (int i = 0; i < package::kUninstallerTexts; ++i)
        std::printf("uninstaller text %d: %s\n", i, U(b.texts[i]).c_str());
}

const char* DamageText(package::UninstallerBlockResult result) {
    switch (result) {
        case package::UninstallerBlockResult::BadNumber:
            return "a picture or icon length or offset is not a number from 0 to 2147483647";
        case package::UninstallerBlockResult::PieceOutside:
            return "the picture or the icon does not lie before the block";
        default: return "it cannot be read";
    }
}
}  // namespace

int RunInfo(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::printf(
            "usage: sfxpack info SETUP.EXE|UNWISE.EXE [--json]\n\n"
            "Prints where the trailer points, every setting and the file list of a package,\n"
            "read with the installer's own loader. Texts are shown as UTF-8. Of an unwise.exe\n"
            "that an installation wrote (its block is nine items), prints the block the\n"
            "uninstaller reads: application name, picture, icon and the four texts.\n"
            "  --json   the same as one JSON object\n");
        return kExitOk;
    }
    const char* path = nullptr;
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else if (argv[i][0] == '-' || path)
            return Fail(kExitUsage, std::string("info: unexpected argument '") + argv[i] + "'");
        else
            path = argv[i];
    }
    if (!path) return Fail(kExitUsage, "info: which package? (sfxpack info SETUP.EXE)");
    package::PackageTrailer trailer;
    // A block of exactly nine items is an uninstaller's; a package's settings hold 64 and more.
    // Anything else is left to the package loader, whose messages name what is wrong.
    {
        auto block = std::make_unique<package::UninstallerBlock>();
        const auto read = package::ReadUninstallerBlock(path, block.get(), &trailer);
        if (read == package::UninstallerBlockResult::Loaded) {
            PrintUninstaller(*block, trailer, json);
            return kExitOk;
        }
        if (read == package::UninstallerBlockResult::BadNumber ||
            read == package::UninstallerBlockResult::PieceOutside)
            return Fail(kExitRefused, std::string(path) + ": damaged uninstaller block (" +
                                          DamageText(read) + ")");
    }
    package::SetupModel model;
    std::string error;
    if (!OpenPackage(path, &model, &trailer, &error)) return Fail(kExitRefused, error);
    if (json)
        PrintJson(model, trailer);
    else
        PrintText(model, trailer);
    return kExitOk;
}

}  // namespace sfxpack
