// sfxpack verify: whether the installer will find every piece of a package and every setting
// whole. Reads the package with the installer's own loader, then checks what the loader takes
// on trust: that each piece lies inside the file before the settings block, that each path stays
// inside its base folder, that each text fits its field and its control, and that each
// compressed file decodes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "install/path_rules.h"
#include "package/item_list.h"
#include "package/limits.h"
#include "package/scramble.h"
#include "package/settings_layout.h"
#include "package/setup_model.h"
#include "platform/file.h"
#include "platform/file_block.h"
#include "tools/commands.h"
#include "tools/package_reader.h"
#include "tools/picture_format.h"
#include "tools/text.h"
#include "tools/text_limits.h"

namespace sfxpack {

namespace {
namespace layout = package::layout;

// How a message names settings item `item`.
std::string SettingName(int item) {
    if (item >= layout::kFirstPageLine && item < layout::kAppName) {
        const int page = (item - layout::kFirstPageLine) / layout::kLinesPerPage;
        const int line = (item - layout::kFirstPageLine) % layout::kLinesPerPage;
        return std::string("page ") + layout::kPageNames[page] + " line " + std::to_string(line);
    }
    if (item >= layout::kFirstUninstallText && item < layout::kUnusedAfterUninstallTexts)
        return "uninstaller text " + std::to_string(item - layout::kFirstUninstallText);
    if (item >= layout::kFirstFileType && item < layout::kShowBackground) {
        const int type = (item - layout::kFirstFileType) / 2;
        return std::string(item == layout::FileTypeProgramItem(type) ? "the program"
                                                                     : "the extension") +
               " of file type " + std::to_string(type);
    }
    switch (item) {
        case layout::kAppName: return "the application name";
        case layout::kReadmeFile: return "the readme";
        case layout::kRunProgram: return "the program to run";
        case layout::kBackgroundCaption: return "the background caption";
        default: return "item " + std::to_string(item + 1);
    }
}

std::string FileItemName(int item) {
    switch (item) {
        case layout::kFileName: return "name";
        case layout::kFileSubFolder: return "subfolder";
        default: return "item " + std::to_string(item + 1);
    }
}

class CountingSink : public archive::ByteSink {
public:
    bool Write(const unsigned char*, size_t count) override {
        bytes += count;
        return true;
    }
    uint64_t bytes = 0;
};

// The items of a plain settings text as the loader splits them, but uncut, so that an item
// too long for the loader's buffer shows. An unfinished item at the end is dropped, as the
// loader drops it; `badRowEnds` counts row ends not followed by CR LF.
std::vector<std::string> SplitItems(const std::string& text, size_t* badRowEnds, bool* unfinished) {
    std::vector<std::string> items;
    size_t position = 0;
    while (true) {
        const size_t separator = text.find_first_of("\x07\x08", position);
        if (separator == std::string::npos) break;
        items.push_back(text.substr(position, separator - position));
        if (text[separator] == package::ItemList::kItemSeparator) {
            position = separator + 1;
        } else {
            if (text.compare(separator + 1, 2, "\r\n") != 0) ++*badRowEnds;
            position = separator + 3;
        }
    }
    *unfinished = position < text.size();
    return items;
}

class Verifier {
public:
    explicit Verifier(const std::string& path) : path_(path), decoder_(path) {}

    bool Run() {
        std::string error;
        if (!OpenPackage(path_, &model_, &trailer_, &error)) {
            Problem(error);
            return false;
        }
        CheckChecksum();
        CheckItems();
        CheckPiece("the wizard picture", model_.pictureLength, model_.pictureOffset, "picture");
        CheckPiece("the icon", model_.iconLength, model_.iconOffset, "icon");
        CheckPiece("the background picture", model_.backgroundPictureLength,
                   model_.backgroundPictureOffset, "picture");
        int index = 0;
        for (const package::FileEntry* e = model_.fileList.first; e; e = e->next, ++index)
            CheckFile(index, *e);
        CheckPaths();
        return problems_ == 0;
    }

    int problems() const { return problems_; }
    const package::SetupModel& model() const { return model_; }
    uint64_t decodedBytes() const { return decodedBytes_; }

private:
    void Problem(const std::string& text) {
        std::printf("%s: %s\n", path_.c_str(), text.c_str());
        ++problems_;
    }

    // The installer refuses a package whose bytes no longer sum to its record before it reads
    // anything else.
    void CheckChecksum() {
        std::string error;
        if (!ChecksumHolds(path_, model_, trailer_, &error))
            Problem(error.substr(path_.size() + 2));
    }

    void CheckItems() {
        platform::RawFile file;
        std::string block(static_cast<size_t>(trailer_.length), '\0');
        if (!file.OpenRead(path_.c_str()) ||
            file.Seek(trailer_.offset, platform::RawFile::Origin::Begin) < 0 ||
            file.Read(&block[0], block.size()) != block.size())
            return Problem("the settings block cannot be read");
        package::UnscrambleBlock(reinterpret_cast<unsigned char*>(&block[0]),
                                 static_cast<long>(block.size()), package::kSettingsKey);
        const size_t zero = block.find('\0');
        if (zero != std::string::npos) {
            Problem("the settings block holds a zero byte at " + std::to_string(zero) +
                    ", where the installer stops reading it");
            block.resize(zero);
        }
        size_t badRowEnds = 0;
        bool unfinished = false;
        const std::vector<std::string> items = SplitItems(block, &badRowEnds, &unfinished);
        if (badRowEnds) Problem(std::to_string(badRowEnds) + " row ends are not followed by CR LF");
        if (unfinished)
            Problem("the settings block ends inside an item, which the installer drops");
        if (items.size() < static_cast<size_t>(layout::kSettingsItems)) {
            Problem("the settings block holds " + std::to_string(items.size()) + " of the " +
                    std::to_string(layout::kSettingsItems) + " settings items");
            return;
        }
        for (int item = 0; item < layout::kSettingsItems; ++item)
            Text(items[static_cast<size_t>(item)], SettingName(item),
                 package::SettingsItemLimit(item), SettingsItemWhere(item));

        size_t entries = 0;
        const size_t fileItems = layout::kFileItems;
        for (size_t i = layout::kSettingsItems; i < items.size() && !items[i].empty();
             i += fileItems) {
            const std::string what = "file " + std::to_string(entries++);
            if (i + fileItems > items.size()) {
                Problem(what + ": its entry ends after " + std::to_string(items.size() - i) +
                        " of its " + std::to_string(fileItems) + " items");
                break;
            }
            for (int k = 0; k < layout::kFileItems; ++k)
                Text(items[i + static_cast<size_t>(k)], what + " " + FileItemName(k),
                     package::FileItemLimit(k));
        }
    }

    void Text(const std::string& gbk, const std::string& what, size_t limit,
              const std::string& where = "") {
        const std::string problem = LimitProblem(gbk, limit, where);
        if (!problem.empty()) Problem(what + " \"" + GbkToUtf8(gbk) + "\" " + problem);
    }

    // True when the piece lies inside the file, before the settings block.
    bool InRange(const std::string& what, int64_t length, int64_t offset) {
        if (offset < 0 || offset + length > trailer_.offset) {
            Problem(what + ": " + std::to_string(length) + " bytes at offset " +
                    std::to_string(offset) +
                    " do not lie between the start of the file and the "
                    "settings block at " +
                    std::to_string(trailer_.offset));
            return false;
        }
        return true;
    }

    void CheckPiece(const std::string& what, int32_t length, int32_t offset, const char* kind) {
        if (length <= 0 || !InRange(what, length, offset)) return;
        unsigned char head[16] = {};
        platform::RawFile file;
        size_t got = 0;
        if (file.OpenRead(path_.c_str()) &&
            file.Seek(offset, platform::RawFile::Origin::Begin) >= 0)
            got = file.Read(head, std::min<size_t>(sizeof head, static_cast<size_t>(length)));
        const char* format = PictureFormat(head, got);
        const bool icon = std::strcmp(kind, "icon") == 0;
        if (icon ? !(format && std::strcmp(format, "ICO") == 0) : !IsLoadablePicture(format))
            Problem(what + " is " +
                    (format ? std::string("a ") + format + " file" : "no known picture") +
                    (icon ? ", not an icon file" : "; the installer reads BMP, JPEG and GIF"));
        else if (icon) {
            int64_t read = length;
            const auto bytes = platform::ReadFileBlock(path_.c_str(), &read, offset);
            const std::string problem =
                bytes ? IconProblem(bytes.get(), static_cast<size_t>(read)) : "cannot be read";
            if (!problem.empty()) Problem(what + " " + problem);
        }
    }

    // The installer refuses at start-up a package whose paths could leave their base folders,
    // judged against a stand-in install folder (a path that never leaves it never leaves any).
    void CheckPaths() {
        install::BaseFolders standIns;
        install::StandInFolders("", "", &standIns);
        int index = 0;
        for (const package::FileEntry* e = model_.fileList.first; e; e = e->next, ++index)
            if (!install::EntryStaysInside(standIns, *e))
                Problem("file " + std::to_string(index) + " \"" +
                        GbkToUtf8(e->subFolder[0] ? std::string(e->subFolder) + "\\" : "") +
                        GbkToUtf8(e->fileName) + "\" leaves its base folder");
        const std::pair<const char*, std::string> settings[] = {
            {model_.readmeFile, "the readme"},
            {model_.runProgram, "the program to run"},
            {model_.fileTypes[0].extension[0] ? model_.fileTypes[0].program : "",
             "the program of file type 0"},
            {model_.fileTypes[1].extension[0] ? model_.fileTypes[1].program : "",
             "the program of file type 1"},
        };
        for (const auto& [setting, what] : settings)
            if (setting[0] && !install::SettingStaysInside(standIns, setting))
                Problem(what + " \"" + GbkToUtf8(setting) + "\" leaves its base folder");
    }

    void CheckFile(int index, const package::FileEntry& entry) {
        const std::string what =
            "file " + std::to_string(index) + " \"" +
            GbkToUtf8(entry.subFolder[0] ? std::string(entry.subFolder) + "\\" : std::string()) +
            GbkToUtf8(entry.fileName) + "\"";
        if (entry.dataLength < 0) return Problem(what + ": a negative length");
        if (!InRange(what, entry.dataLength, entry.dataOffset) || !entry.compressed) return;
        // The installer checks the archive's head at start-up, and takes the node's own sizes
        // on trust while decoding: they must stay inside the piece.
        unsigned char head[archive::kMinimumArchiveSize] = {};
        platform::RawFile file;
        if (entry.dataLength >= static_cast<int32_t>(sizeof head) && file.OpenRead(path_.c_str()) &&
            file.Seek(entry.dataOffset, platform::RawFile::Origin::Begin) >= 0 &&
            file.Read(head, sizeof head) == sizeof head &&
            archive::CheckArchiveHead(head, entry.dataLength) == archive::Refusal::NodeOutside)
            Problem(what + ": the archive's node runs past the " +
                    std::to_string(entry.dataLength) + " bytes stored for it");
        CountingSink sink;
        const archive::ExtractResult result = decoder_.Decode(entry, sink);
        if (!result.ok()) return Problem(what + ": does not decode: " + result.Reason());
        if (sink.bytes != result.uncompressedSize)
            Problem(what + ": decodes to " + std::to_string(sink.bytes) +
                    " bytes, but its archive says " + std::to_string(result.uncompressedSize));
        decodedBytes_ += sink.bytes;
    }

    std::string path_;
    FileDecoder decoder_;
    package::SetupModel model_;
    package::PackageTrailer trailer_;
    int problems_ = 0;
    uint64_t decodedBytes_ = 0;
};
}  // namespace

int RunVerify(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::printf(
            "usage: sfxpack verify SETUP.EXE [--quiet]\n\n"
            "Reads a package as the installer does and checks what the installer takes on\n"
            "trust: every piece (pictures, icon, each file's data) lies inside the file before\n"
            "the settings block, every path stays inside its base folder, every text fits its\n"
            "field and the control that shows it, and every compressed file decodes. Prints\n"
            "each problem on a line of its own.\n"
            "  -q, --quiet   print problems only\n\n"
            "Exit status: 0 the package is sound, 1 it has problems, 2 a usage error.\n");
        return kExitOk;
    }
    const char* path = nullptr;
    bool quiet = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-q") == 0 || std::strcmp(argv[i], "--quiet") == 0)
            quiet = true;
        else if (argv[i][0] == '-' || path)
            return Fail(kExitUsage, std::string("verify: unexpected argument '") + argv[i] + "'");
        else
            path = argv[i];
    }
    if (!path) return Fail(kExitUsage, "verify: which package? (sfxpack verify SETUP.EXE)");
    Verifier verifier(path);
    const bool sound = verifier.Run();
    if (!sound) {
        std::printf("%s: %d problem%s\n", path, verifier.problems(),
                    verifier.problems() == 1 ? "" : "s");
        return kExitRefused;
    }
    if (!quiet)
        std::printf("%s: sound; %d files, %llu bytes decoded\n", path,
                    verifier.model().fileList.count,
                    static_cast<unsigned long long>(verifier.decodedBytes()));
    return kExitOk;
}

}  // namespace sfxpack
