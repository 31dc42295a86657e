// The options of an unattended run, read from the command line as Windows gives it (UTF-16) and
// split as CommandLineToArgvW splits it: /S (no windows, wherever it stands), /D=folder (the
// destination: written without quotes, the last option, taken to the end of the line, spaces
// and all; "/D=folder" in quotes ends with them), /LOG=file (a report), /?.
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
    // The first word that is not an option of ours (cut to its room); empty when all were. The
    // words after it are still read: /S anywhere means no window, also to say what was wrong.
    wchar_t unknown[kOptionRoom] = {};

    bool ok() const { return unknown[0] == L'\0'; }
};

// Reads the options after the program's own name (quoted or not) from `line`: the installer's,
// and the uninstaller's, which knows only /S and /?.
void ParseSetupCommandLine(const wchar_t* line, CommandLine* options);
void ParseUninstallCommandLine(const wchar_t* line, CommandLine* options);

}  // namespace platform
