// The options of an unattended run, read from the command line as Windows gives it (UTF-16):
// /S (no windows), /D=folder (the destination: the last option, taken to the end of the line,
// spaces and all), /LOG=file (a report; the name in quotes when it has spaces), /?.
#pragma once

#include <cstddef>

namespace platform {

struct CommandLine {
    static constexpr size_t kRoom = 1024;
    static constexpr size_t kOptionRoom = 64;

    bool silent = false;
    bool help = false;
    bool hasFolder = false;
    wchar_t folder[kRoom] = {};
    wchar_t logPath[kRoom] = {};
    // The first word that is not an option of ours (cut to its room); empty when all were.
    wchar_t unknown[kOptionRoom] = {};

    bool ok() const { return unknown[0] == L'\0'; }
};

// Reads the options after the program's own name (quoted or not) from `line`.
// `installerOptions`: /D= and /LOG= are options of this program (the installer's; the
// uninstaller knows only /S and /?).
void ParseCommandLine(const wchar_t* line, bool installerOptions, CommandLine* options);

}  // namespace platform
