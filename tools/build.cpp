// sfxpack build: a package from the publisher's manifest.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "package/package_end.h"
#include "package/trailer.h"
#include "tools/commands.h"
#include "tools/file_set.h"
#include "tools/manifest.h"
#include "tools/node_output.h"
#include "tools/package_writer.h"
#include "tools/progress.h"

#ifndef SFXPACK_DEFAULT_STUB
#define SFXPACK_DEFAULT_STUB "setup.exe"
#endif
// Where `make install` puts the stub, relative to the folder of the installed sfxpack.
#ifndef SFXPACK_INSTALLED_STUB
#define SFXPACK_INSTALLED_STUB "../share/sfx-installer/setup.exe"
#endif

namespace sfxpack {

namespace {
std::string Join(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

const char kUsage[] =
    "usage: sfxpack build MANIFEST -o SETUP.EXE [--stub STUB.EXE] [--quiet]\n"
    "\n"
    "Packs the application that MANIFEST (TOML, see the README) describes behind a copy of the\n"
    "installer stub. Every setting is checked first; nothing is written when one is refused.\n"
    "The same inputs always give the same bytes.\n"
    "\n"
    "  -o, --output SETUP.EXE  the package to write; an existing file is replaced only once\n"
    "                          the new package is complete\n"
    "  --stub STUB.EXE         the installer program the package is appended to; default:\n"
    "                          $SFXPACK_STUB, else " SFXPACK_INSTALLED_STUB " from this\n"
    "                          program's folder (where make install puts it), else the build's\n"
    "                          " SFXPACK_DEFAULT_STUB "\n"
    "  -q, --quiet             errors only: no warnings, progress or summary\n"
    "\n"
    "Exit status: 0 written, 1 an input was refused, 2 a usage error.\n";

int Refuse(const std::vector<std::string>& errors) {
    for (const std::string& error : errors) std::fprintf(stderr, "sfxpack: %s\n", error.c_str());
    return kExitRefused;
}

void PrintWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "sfxpack: warning: %s\n", warning.c_str());
}

// Where make install put the stub, found from this program's own folder. /proc/self/exe names
// the program itself, not a link to it, so a link in a folder of PATH leads there too.
std::string InstalledStub() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::string();
    return (self.parent_path() / SFXPACK_INSTALLED_STUB).lexically_normal().string();
}

// The stub to pack behind: --stub, else $SFXPACK_STUB, else the installed one, else the
// build's. A stub named by the user is taken as named (and refused later if missing); of the
// two defaults the first that exists. Empty with `*error` set when there is none.
std::string StubPath(const char* option, std::string* error) {
    if (option) return option;
    if (const char* env = std::getenv("SFXPACK_STUB"); env && *env) return env;
    const std::string installed = InstalledStub();
    if (!installed.empty() && ::access(installed.c_str(), R_OK) == 0) return installed;
    if (::access(SFXPACK_DEFAULT_STUB, R_OK) == 0) return SFXPACK_DEFAULT_STUB;
    *error = "no installer stub: none installed" +
             (installed.empty() ? std::string() : " at " + installed) +
             " and none built at " SFXPACK_DEFAULT_STUB
             " (build it with 'make win32', or name one with --stub or SFXPACK_STUB)";
    return std::string();
}

// What about the stub looks wrong, without refusing it: a test may pack behind any file.
void CheckStub(const std::string& path, std::vector<std::string>* warnings) {
    char head[2] = {};
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        if (std::fread(head, 1, 2, file) != 2) head[0] = 0;
        std::fclose(file);
    }
    if (std::memcmp(head, "MZ", 2) != 0)
        warnings->push_back(path + ": the stub is not a Windows program (no \"MZ\")");
    platform::RawFile stub;
    package::CertificateTable table;
    if (stub.OpenRead(path.c_str()) &&
        package::FindCertificateTable(stub, &table) == package::Signature::Present)
        warnings->push_back(path +
                            ": the stub is signed; its signature is left out of the package "
                            "(sign the package instead: sfxpack sign)");
    package::PackageTrailer trailer;
    if (package::ReadTrailer(path.c_str(), &trailer) && trailer.length > 0)
        warnings->push_back(path +
                            ": the stub already carries a package; the new one hides it but "
                            "the old bytes stay inside");
}

// The methods a stub decodes, as it declares them among its resources ("sfx-decodes: lzw lzma
// lzma-solid"). A stub that declares none is taken to decode LZW alone, as any installer of the
// format does.
std::vector<std::string> StubMethods(const std::string& path) {
    static const char kMarker[] = "sfx-decodes:";
    std::string bytes;
    std::vector<std::string> methods;
    const size_t at = ReadWholeFile(path, &bytes) ? bytes.find(kMarker) : std::string::npos;
    if (at == std::string::npos) return {"lzw"};
    std::string word;
    for (size_t i = at + sizeof kMarker - 1; i <= bytes.size(); ++i) {
        const char c = i < bytes.size() ? bytes[i] : '\0';
        if (c == ' ' || c == '\0') {
            if (!word.empty()) methods.push_back(word);
            word.clear();
            if (c == '\0') break;
        } else {
            word += c;
        }
    }
    return methods;
}

// Why the package cannot go behind the stub: a method of its files that the stub does not
// decode. An installer would refuse such a package on every user's machine.
std::string StubProblem(const std::string& stub, const std::vector<PackedFile>& files) {
    std::vector<std::string> needed;
    for (const PackedFile& file : files) {
        const char* word = file.compression == Compression::Lzma    ? "lzma"
                           : file.compression == Compression::Solid ? "lzma-solid"
                                                                    : nullptr;
        if (word && std::find(needed.begin(), needed.end(), word) == needed.end())
            needed.push_back(word);
    }
    if (needed.empty()) return "";
    const std::vector<std::string> methods = StubMethods(stub);
    for (const std::string& word : needed)
        if (std::find(methods.begin(), methods.end(), word) == methods.end())
            return stub + ": this installer stub cannot decode " + word +
                   " (it declares: " + Join(methods) +
                   "); pack behind the stub of this sfxpack, or compress with lzw";
    return "";
}
}  // namespace

int RunBuild(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const char* manifestPath = nullptr;
    const char* outputPath = nullptr;
    const char* stubOption = nullptr;
    bool quiet = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" || arg == "--output" || arg == "--stub") {
            if (i + 1 >= argc) return Fail(kExitUsage, "build: " + arg + " needs a file name");
            (arg == "--stub" ? stubOption : outputPath) = argv[++i];
        } else if (arg == "-q" || arg == "--quiet") {
            quiet = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail(kExitUsage,
                        "build: unknown option '" + arg + "' (see sfxpack build --help)");
        } else if (manifestPath) {
            return Fail(kExitUsage, "build: one manifest only; '" + arg + "' is a second one");
        } else {
            manifestPath = argv[i];
        }
    }
    if (!manifestPath) return Fail(kExitUsage, "build: which manifest? (sfxpack build --help)");
    if (!outputPath || !*outputPath)
        return Fail(kExitUsage, "build: where to? name the package with -o SETUP.EXE");
    if (stubOption && !*stubOption) return Fail(kExitUsage, "build: --stub needs a file name");

    std::vector<std::string> errors;
    Manifest manifest;
    const bool manifestRead = ReadManifest(manifestPath, &manifest, &errors);
    std::vector<std::string> warnings = manifest.warnings;
    std::vector<PackedFile> files;
    // The files are looked for even after a refused setting, so one run reports every problem.
    const bool filesFound = ExpandFiles(manifest, &files, &errors, &warnings);
    if (!manifestRead || !filesFound) return Refuse(errors);

    std::string noStub;
    const std::string stub = StubPath(stubOption, &noStub);
    if (!noStub.empty()) return Fail(kExitRefused, noStub);
    if (::access(stub.c_str(), R_OK) != 0)
        return Fail(kExitRefused,
                    "no installer stub at " + stub +
                        (stubOption ? std::string()
                                    : std::string(" (build it with 'make win32', or name one "
                                                  "with --stub or SFXPACK_STUB)")));
    CheckStub(stub, &warnings);
    const std::string stubProblem = StubProblem(stub, files);
    if (!stubProblem.empty()) return Fail(kExitRefused, stubProblem);
    if (!quiet) PrintWarnings(warnings);

    uint64_t total = 0;
    for (const PackedFile& file : files) total += file.size;
    ProgressMeter meter(total, stderr, ::isatty(STDERR_FILENO) != 0);
    BuildStats stats;
    std::string error;
    const bool written =
        WritePackage(manifest, files, stub, outputPath, quiet ? nullptr : &meter, &stats, &error);
    meter.Finish();
    if (!written) return Fail(kExitRefused, error);
    if (!quiet) {
        const double ratio = stats.bytesIn ? 100.0 * static_cast<double>(stats.bytesOut) /
                                                 static_cast<double>(stats.bytesIn)
                                           : 100.0;
        std::printf(
            "%s: %zu files (%zu compressed), %llu bytes in, %llu bytes out (%.1f%%), "
            "package %lld bytes\n",
            outputPath, stats.files, stats.compressedFiles,
            static_cast<unsigned long long>(stats.bytesIn),
            static_cast<unsigned long long>(stats.bytesOut), ratio,
            static_cast<long long>(stats.packageSize));
    }
    return kExitOk;
}

}  // namespace sfxpack
