// sfxpack extract: every packaged file of an installer, written under a folder of the
// publisher's choice and nothing installed.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "tools/commands.h"
#include "tools/node_output.h"
#include "tools/package_reader.h"
#include "tools/text.h"
#include "tools/words.h"

namespace sfxpack {

namespace {

// Splits a GBK path at its backslashes and slashes. Steps over double-byte characters: their
// trail byte may be 0x5C, which is not a separator there.
std::vector<std::string> SplitGbkPath(const std::string& path) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size();) {
        const size_t width = gbk::CharWidth(path.c_str() + i);
        if (width == 1 && (path[i] == '\\' || path[i] == '/'))
            parts.emplace_back();
        else
            parts.back().append(path, i, width);
        i += width;
    }
    return parts;
}

// A piece of a name that stays inside the folder it is written into.
bool SafeComponent(const std::string& part) {
    return part != "." && part != ".." && part.find(':') == std::string::npos;
}

// The entry's path below DIR as UTF-8 (folder word, subfolder levels, name), or false with
// the reason.
bool RelativePath(const package::FileEntry& entry, std::string* path, std::string* error) {
    const std::string name = entry.fileName;
    const std::string sub = entry.subFolder;
    const std::vector<std::string> nameParts = SplitGbkPath(name);
    if (nameParts.size() != 1 || name.empty() || !SafeComponent(name)) {
        *error = "the file name \"" + GbkToUtf8(name) + "\" is not a plain file name";
        return false;
    }
    if (!sub.empty() && (sub[0] == '\\' || sub[0] == '/')) {
        *error = "the subfolder \"" + GbkToUtf8(sub) + "\" is an absolute path";
        return false;
    }
    *path = FolderWord(entry.folderKind);
    for (const std::string& part : SplitGbkPath(sub)) {
        if (part.empty()) continue;  // "a\\b" and a closing backslash add no level
        if (!SafeComponent(part)) {
            *error = "the subfolder \"" + GbkToUtf8(sub) + "\" leaves its base folder";
            return false;
        }
        *path += "/" + GbkToUtf8(part);
    }
    *path += "/" + GbkToUtf8(name);
    return true;
}

}  // namespace

int RunExtract(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::printf(
            "usage: sfxpack extract SETUP.EXE -d DIR\n\n"
            "Writes every packaged file of an installer under DIR, as\n"
            "DIR/install|windows|system/SUBFOLDER/NAME (names as UTF-8), decoding compressed\n"
            "files with the installer's own decoder. Installs nothing. Stops at the first file\n"
            "that cannot be written or decoded; no partial file is left behind.\n");
        return kExitOk;
    }
    const char* setup = nullptr;
    const char* dir = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-d") == 0 && i + 1 < argc)
            dir = argv[++i];
        else if (argv[i][0] == '-' || setup)
            return Fail(kExitUsage, std::string("extract: unexpected argument '") + argv[i] + "'");
        else
            setup = argv[i];
    }
    if (!setup || !dir)
        return Fail(kExitUsage,
                    "extract: which package, and where? (sfxpack extract SETUP.EXE -d DIR)");

    package::SetupModel model;
    package::PackageTrailer trailer;
    std::string error;
    if (!OpenPackage(setup, &model, &trailer, &error) ||
        !ChecksumHolds(setup, model, trailer, &error))
        return Fail(kExitRefused, error);

    // Every name is checked before anything is written: a package that would escape DIR
    // writes nothing at all.
    std::vector<std::string> paths;
    int index = 0;
    for (const package::FileEntry* e = model.fileList.first; e; e = e->next, ++index) {
        std::string path;
        if (!RelativePath(*e, &path, &error))
            return Fail(kExitRefused,
                        std::string(setup) + ": file " + std::to_string(index) + ": " + error);
        paths.push_back(path);
    }

    FileDecoder decoder(setup);
    index = 0;
    for (const package::FileEntry* e = model.fileList.first; e; e = e->next, ++index) {
        const std::filesystem::path target = std::filesystem::path(dir) / paths[index];
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (ec)
            return Fail(kExitRefused, "cannot create the folder " + target.parent_path().string() +
                                          ": " + ec.message());
        const std::string where =
            std::string(setup) + ": file " + std::to_string(index) + " (" + paths[index] + "): ";
        bool written;
        if (e->compressed) {
            platform::RawFile exe;
            const int64_t size = exe.OpenRead(setup) ? exe.Length() : 0;
            if (e->dataOffset < 0 || e->dataLength < 0 || e->dataOffset > size ||
                e->dataLength > size - e->dataOffset)
                return Fail(kExitRefused, where + "the " + std::to_string(e->dataLength) +
                                              " bytes at offset " + std::to_string(e->dataOffset) +
                                              " lie outside the file");
            written = DecodeEntryToFile(decoder, *e, target.string(), &error);
            if (!written) error = "the archive is refused: " + error;
        } else {
            written = CopyRangeToFile(setup, e->dataOffset, e->dataLength, target.string(), &error);
        }
        if (!written) return Fail(kExitRefused, where + error);
        std::printf("%s\n", paths[index].c_str());
    }
    return kExitOk;
}

}  // namespace sfxpack
