// sfxpack verify: whether the installer will find every piece of a package and every setting
// whole. Reads the package with the installer's own loader, then checks what the loader takes
// on trust: that each piece lies inside the file before the settings block, that each text fits
// its field and its control, and that each compressed file decodes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "package/item_list.h"
#include "package/scramble.h"
#include "package/setup_model.h"
#include "platform/file.h"
#include "tools/commands.h"
#include "tools/package_reader.h"
#include "tools/picture_format.h"
#include "tools/text.h"
#include "tools/text_limits.h"

namespace sfxpack {

namespace {
const char* const kPageNames[] = {"welcome", "agreement", "folder", "progress", "finish"};
constexpr size_t kSettingsItems = 64;
constexpr size_t kFileItems = 8;
constexpr size_t kNumberRoom = 19;

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
    explicit Verifier(const std::string& path) : path_(path) {}

    bool Run() {
        std::string error;
        if (!OpenPackage(path_, &model_, &trailer_, &error)) {
            Problem(error);
            return false;
        }
        CheckItems();
        CheckPiece("the wizard picture", model_.pictureLength, model_.pictureOffset, "picture");
        CheckPiece("the icon", model_.iconLength, model_.iconOffset, "icon");
        CheckPiece("the background picture", model_.backgroundPictureLength,
                   model_.backgroundPictureOffset, "picture");
        int index = 0;
        for (const package::FileEntry* e = model_.fileList.first; e; e = e->next, ++index)
            CheckFile(index, *e);
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
        if (items.size() < kSettingsItems) {
            Problem("the settings block holds " + std::to_string(items.size()) + " of the " +
                    std::to_string(kSettingsItems) + " settings items");
            return;
        }
        for (int page = 0; page < package::kPageCount; ++page)
            for (int line = 0; line < package::PageText::kLines; ++line)
                Text(items[static_cast<size_t>(page * 8 + line)],
                     std::string("page ") + kPageNames[page] + " line " + std::to_string(line),
                     PageLineRoom(line), PageLineCharacters(page, line),
                     std::string("the ") + kPageNames[page] + " page shows");
        Text(items[40], "the application name", kNameRoom);
        Text(items[41], "the readme", kNameRoom);
        Text(items[42], "the program to run", kNameRoom);
        for (size_t i = 43; i < 47; ++i)
            Text(items[i], "uninstaller text " + std::to_string(i - 43),
                 package::ItemList::kItemRoom);
        for (size_t i : {48, 49, 50, 51, 57, 58, 60})
            Text(items[i], "item " + std::to_string(i + 1), kNumberRoom);
        Text(items[52], "the program of file type 0", kProgramRoom);
        Text(items[53], "the extension of file type 0", kExtensionRoom);
        Text(items[54], "the program of file type 1", kProgramRoom);
        Text(items[55], "the extension of file type 1", kExtensionRoom);
        Text(items[59], "the background caption", kCaptionRoom);

        size_t entries = 0;
        for (size_t i = kSettingsItems; i < items.size() && !items[i].empty(); i += kFileItems) {
            const std::string what = "file " + std::to_string(entries++);
            if (i + kFileItems > items.size()) {
                Problem(what + ": its entry ends after " + std::to_string(items.size() - i) +
                        " of its " + std::to_string(kFileItems) + " items");
                break;
            }
            Text(items[i], what + " name", kNameRoom);
            Text(items[i + 2], what + " subfolder", kNameRoom);
            for (size_t k : {3, 5, 6})
                Text(items[i + k], what + " item " + std::to_string(k + 1), kNumberRoom);
        }
    }

    void Text(const std::string& gbk, const std::string& what, size_t room, size_t characters = 0,
              const std::string& where = "") {
        const std::string problem = LimitProblem(gbk, room, characters, where);
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
    }

    void CheckFile(int index, const package::FileEntry& entry) {
        const std::string what =
            "file " + std::to_string(index) + " \"" +
            GbkToUtf8(entry.subFolder[0] ? std::string(entry.subFolder) + "\\" : std::string()) +
            GbkToUtf8(entry.fileName) + "\"";
        if (entry.dataLength < 0) return Problem(what + ": a negative length");
        if (!InRange(what, entry.dataLength, entry.dataOffset) || !entry.compressed) return;
        // The reader takes the node's own sizes on trust; they must stay inside the piece.
        unsigned char node[archive::kNodeHeaderSize] = {};
        platform::RawFile file;
        if (entry.dataLength >= static_cast<int32_t>(archive::kMinimumArchiveSize) &&
            file.OpenRead(path_.c_str()) &&
            file.Seek(entry.dataOffset + archive::kArchiveHeaderSize + archive::kBeginMarkSize,
                      platform::RawFile::Origin::Begin) >= 0 &&
            file.Read(node, sizeof node) == sizeof node) {
            const uint64_t compressed =
                node[12] | node[13] << 8 | node[14] << 16 | static_cast<uint64_t>(node[15]) << 24;
            const uint64_t nameLength = node[16] | node[17] << 8;
            if (archive::kMinimumArchiveSize + nameLength + compressed >
                static_cast<uint64_t>(entry.dataLength))
                Problem(what + ": the archive's node runs past the " +
                        std::to_string(entry.dataLength) + " bytes stored for it");
        }
        CountingSink sink;
        const archive::ExtractResult result =
            archive::DecodeEmbedded(path_.c_str(), entry.dataOffset, entry.dataLength, 0, sink);
        if (!result.ok()) return Problem(what + ": does not decode: " + result.Reason());
        if (sink.bytes != result.uncompressedSize)
            Problem(what + ": decodes to " + std::to_string(sink.bytes) +
                    " bytes, but its archive says " + std::to_string(result.uncompressedSize));
        decodedBytes_ += sink.bytes;
    }

    std::string path_;
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
            "the settings block, every text fits its field and the control that shows it, and\n"
            "every compressed file decodes. Prints each problem on a line of its own.\n"
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
