// sfxpack: the publisher's tool. It shares the package and archive formats with the installer
// and adds what only a publisher needs.
#include <cstdio>
#include <cstring>

#include "tools/commands.h"

namespace sfxpack {

namespace {
const Command kCommands[] = {
    {"build", "build MANIFEST -o SETUP.EXE [OPTIONS]", "pack the application a manifest describes",
     RunBuild},
    {"verify", "verify SETUP.EXE", "check that the installer will read a package whole", RunVerify},
    {"info", "info SETUP.EXE [--json]", "print the settings and file list of a package", RunInfo},
    {"extract", "extract SETUP.EXE -d DIR", "write every packaged file under DIR", RunExtract},
    {"sign", "sign SETUP.EXE --cert C --key K [-o OUT]", "sign a package with osslsigncode",
     RunSign},
    {"tavq-pack", "tavq-pack FILE... -o ARCHIVE", "write a TAVQ archive of the files", RunTavqPack},
    {"tavq-unpack", "tavq-unpack ARCHIVE -o OUT [--node N]", "decode one node of a TAVQ archive",
     RunTavqUnpack},
};

#ifndef SFXPACK_VERSION
#define SFXPACK_VERSION "unknown"
#endif

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: sfxpack COMMAND [ARGS]\n       sfxpack --version\n\ncommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %-44s %s\n", command.synopsis, command.summary);
    std::fprintf(out, "\n'sfxpack COMMAND --help' describes a command.\n");
}
}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "sfxpack: %s\n", message.c_str());
    return status;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

}  // namespace sfxpack

int main(int argc, char** argv) {
    using namespace sfxpack;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        if (argc > 2) return Fail(kExitUsage, "--version takes no arguments");
        std::printf("sfxpack %s\n", SFXPACK_VERSION);
        return kExitOk;
    }
    for (const Command& command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    std::fprintf(stderr, "sfxpack: unknown %s '%s'\n", argv[1][0] == '-' ? "option" : "command",
                 argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
