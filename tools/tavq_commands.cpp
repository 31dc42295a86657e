// sfxpack tavq-pack and tavq-unpack: the archive format on its own, for publishers who want to
// look inside an archive or make one by hand.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file.h"
#include "tools/commands.h"
#include "tools/node_output.h"
#include "tools/tavq_writer.h"
#include "tools/text.h"

namespace sfxpack {

namespace {
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

int RunTavqPack(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::printf(
            "usage: sfxpack tavq-pack FILE... -o ARCHIVE [--lzma]\n\n"
            "Writes a TAVQ archive (version 10) with one LZW-compressed node per FILE, in the\n"
            "order given. Each node stores the file's name without its folder, in GBK.\n"
            "  --lzma   LZMA-compressed nodes instead (version 0x010A, level 9), which only\n"
            "           this project's installer reads\n");
        return kExitOk;
    }
    std::vector<std::string> inputs;
    const char* output = nullptr;
    Method method = Method::Lzw;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (std::strcmp(argv[i], "--lzma") == 0)
            method = Method::Lzma;
        else if (argv[i][0] == '-')
            return Fail(kExitUsage,
                        std::string("tavq-pack: unexpected argument '") + argv[i] + "'");
        else
            inputs.push_back(argv[i]);
    }
    if (inputs.empty() || !output)
        return Fail(kExitUsage,
                    "tavq-pack: which files, and where? (sfxpack tavq-pack FILE... -o ARCHIVE)");

    std::vector<TavqNode> nodes;
    for (const std::string& input : inputs) {
        TavqNode node;
        std::string offending;
        if (!Utf8ToGbk(BaseName(input), &node.name, &offending))
            return Fail(kExitRefused,
                        input + ": the name holds '" + offending + "', which GBK cannot write");
        if (!ReadWholeFile(input, &node.data))
            return Fail(kExitRefused, input + ": cannot read the file");
        nodes.push_back(std::move(node));
    }
    std::string archive;
    try {
        archive = BuildTavqArchive(nodes, method, 9);
    } catch (const std::length_error& e) {
        return Fail(kExitRefused, e.what());
    }
    std::string error;
    if (!WriteWholeFile(output, archive, &error)) return Fail(kExitRefused, error);
    return kExitOk;
}

int RunTavqUnpack(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::printf(
            "usage: sfxpack tavq-unpack ARCHIVE -o OUT [--node N]\n\n"
            "Decodes node N (0 unless given) of a TAVQ archive into the file OUT, with the\n"
            "installer's own reader and decoder. On a damaged archive nothing is written.\n");
        return kExitOk;
    }
    const char* archivePath = nullptr;
    const char* output = nullptr;
    unsigned long node = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "--node") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const char* text = argv[++i];
            node = std::strtoul(text, &end, 10);
            if (!*text || *end || text[0] == '-' || node > 0xFFFFFFFFul)
                return Fail(kExitUsage,
                            std::string("tavq-unpack: --node wants a number, not '") + text + "'");
        } else if (argv[i][0] == '-' || archivePath) {
            return Fail(kExitUsage,
                        std::string("tavq-unpack: unexpected argument '") + argv[i] + "'");
        } else {
            archivePath = argv[i];
        }
    }
    if (!archivePath || !output)
        return Fail(kExitUsage,
                    "tavq-unpack: which archive, and where? (sfxpack tavq-unpack ARCHIVE -o OUT)");
    platform::RawFile file;
    if (!file.OpenRead(archivePath) || platform::IsFolder(archivePath))
        return Fail(kExitRefused, std::string(archivePath) + ": cannot read the file");
    const int64_t length = file.Length();
    file.Close();
    std::string error;
    if (!DecodeNodeToFile(archivePath, 0, length, static_cast<uint32_t>(node), output, &error))
        return Fail(kExitRefused,
                    std::string(archivePath) + ": node " + std::to_string(node) + ": " + error);
    return kExitOk;
}

}  // namespace sfxpack
