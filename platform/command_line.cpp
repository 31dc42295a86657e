#include "platform/command_line.h"

namespace platform {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// True when `text` begins with `prefix`, letters in either case; `rest` then points behind it.
bool StartsWith(const wchar_t* text, const wchar_t* prefix, const wchar_t** rest) {
    for (; *prefix; ++text, ++prefix)
        if (Upper(*text) != *prefix) return false;
    *rest = text;
    return true;
}

// Copies [from, to) into `out`; false when it is empty or does not fit.
bool CopyValue(const wchar_t* from, const wchar_t* to, wchar_t* out, size_t room) {
    if (to <= from || static_cast<size_t>(to - from) >= room) return false;
    size_t i = 0;
    for (; from < to; ++from) out[i++] = *from;
    out[i] = L'\0';
    return true;
}

// Names [from, to) (cut to its room) as what was not understood, unless an earlier word was.
void Refuse(const wchar_t* from, const wchar_t* to, CommandLine* options) {
    if (!options->ok()) return;
    size_t i = 0;
    for (; from < to && i + 1 < CommandLine::kOptionRoom; ++from) options->unknown[i++] = *from;
    options->unknown[i] = L'\0';
}

// One argument at `p` as CommandLineToArgvW splits it (what scripting languages, PowerShell and
// deployment tools write): blanks outside quotes end it, quotes are taken away, 2n backslashes
// before a quote are n and the quote counts, 2n+1 are n and a quote of the text, "" in quotes is
// one quote. Into `out`; `*whole` false when it did not fit `room`, `*closed` false when it ended
// inside quotes. Returns what follows it.
const wchar_t* NextArgument(const wchar_t* p, wchar_t* out, size_t room, bool* whole,
                            bool* closed) {
    size_t length = 0;
    size_t backslashes = 0;
    bool quoted = false;
    for (;; ++p) {
        const wchar_t c = *p;
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        bool text = true;
        if (c == L'"') {
            text = backslashes % 2 != 0;
            backslashes /= 2;
            if (!text && quoted && p[1] == L'"') {
                ++p;
                text = true;
            } else if (!text) {
                quoted = !quoted;
            }
        }
        const bool end = !c || (!quoted && IsBlank(c));
        for (size_t i = 0; i <= backslashes; ++i) {
            const bool last = i == backslashes;
            if (last && (end || !text)) break;
            if (length + 1 < room)
                out[length++] = last ? c : L'\\';
            else
                *whole = false;
        }
        backslashes = 0;
        if (end) break;
    }
    out[length] = L'\0';
    *closed = !quoted;
    return p;
}

// One word of the command line: where it begins, where the next may begin, and the argument it
// makes.
struct Word {
    const wchar_t* raw;
    const wchar_t* next;
    wchar_t text[CommandLine::kRoom + 8];
    bool whole;
    bool closed;
};

// The options only the installer has; false when the word is none of them.
bool InstallerOption(Word* word, CommandLine* options) {
    const wchar_t* rest = nullptr;
    if (StartsWith(word->raw, L"/D=", &rest)) {
        // Written without quotes before it, the rest of the line, as NSIS takes it: a folder may
        // hold spaces and no option can follow. Quotes around the folder are forgiven, blanks
        // after it dropped.
        const wchar_t* end = rest;
        while (*end) ++end;
        word->next = end;
        while (end > rest && IsBlank(end[-1])) --end;
        if (end - rest >= 2 && *rest == L'"' && end[-1] == L'"') {
            ++rest;
            --end;
        }
        if (CopyValue(rest, end, options->folder, CommandLine::kRoom))
            options->hasFolder = true;
        else
            Refuse(word->raw, rest, options);
        return true;
    }
    const wchar_t* end = word->text;
    while (*end) ++end;
    if (StartsWith(word->text, L"/D=", &rest)) {
        // In quotes ("/D=C:\My Apps\X"): the folder ends where the quotes do.
        if (word->whole && CopyValue(rest, end, options->folder, CommandLine::kRoom))
            options->hasFolder = true;
        else
            Refuse(word->raw, word->next, options);
        return true;
    }
    if (StartsWith(word->text, L"/LOG=", &rest)) {
        // An open quote would take the rest of the line into the name: no report is better than
        // one written somewhere the administrator did not mean.
        if (!word->whole || !word->closed ||
            !CopyValue(rest, end, options->logPath, CommandLine::kRoom))
            Refuse(word->raw, word->next, options);
        return true;
    }
    return false;
}

void Parse(const wchar_t* line, bool (*programOption)(Word*, CommandLine*), CommandLine* options) {
    const wchar_t* p = line ? line : L"";
    // The program's own name, as Windows writes it: in quotes, or up to the first blank.
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    Word word;
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (!*p) return;
        word.raw = p;
        word.whole = true;
        word.next = NextArgument(p, word.text, sizeof word.text / sizeof word.text[0], &word.whole,
                                 &word.closed);
        const wchar_t* rest = nullptr;
        if (StartsWith(word.text, L"/S", &rest) && !*rest) {
            options->silent = true;
        } else if (StartsWith(word.text, L"/?", &rest) && !*rest) {
            options->help = true;
        } else if (!programOption || !programOption(&word, options)) {
            const wchar_t* end = word.text;
            while (*end) ++end;
            Refuse(word.text, end, options);
        }
        p = word.next;
    }
}

}  // namespace

void ParseSetupCommandLine(const wchar_t* line, CommandLine* options) {
    Parse(line, InstallerOption, options);
}

void ParseUninstallCommandLine(const wchar_t* line, CommandLine* options) {
    Parse(line, nullptr, options);
}

}  // namespace platform
