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

// The word at `p` up to the next blank, as what was not understood.
const wchar_t* Refuse(const wchar_t* p, CommandLine* options) {
    size_t i = 0;
    for (; *p && !IsBlank(*p); ++p)
        if (i + 1 < CommandLine::kOptionRoom) options->unknown[i++] = *p;
    options->unknown[i] = L'\0';
    return p;
}

}  // namespace

void ParseCommandLine(const wchar_t* line, bool installerOptions, CommandLine* options) {
    const wchar_t* p = line ? line : L"";
    // The program's own name, as Windows writes it: in quotes, or up to the first blank.
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p) ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (!*p || !options->ok()) return;
        const wchar_t* rest = nullptr;
        if (StartsWith(p, L"/S", &rest) && (!*rest || IsBlank(*rest))) {
            options->silent = true;
            p = rest;
        } else if (StartsWith(p, L"/?", &rest) && (!*rest || IsBlank(*rest))) {
            options->help = true;
            p = rest;
        } else if (installerOptions && StartsWith(p, L"/D=", &rest)) {
            // The rest of the line, as NSIS takes it: a folder may hold spaces and no option
            // can follow. Quotes around it are forgiven, blanks after it dropped.
            const wchar_t* end = rest;
            while (*end) ++end;
            while (end > rest && IsBlank(end[-1])) --end;
            if (end - rest >= 2 && *rest == L'"' && end[-1] == L'"') {
                ++rest;
                --end;
            }
            if (!CopyValue(rest, end, options->folder, CommandLine::kRoom)) Refuse(p, options);
            options->hasFolder = options->ok();
            return;
        } else if (installerOptions && StartsWith(p, L"/LOG=", &rest)) {
            const wchar_t* end = rest;
            if (*rest == L'"') {
                for (end = ++rest; *end && *end != L'"'; ++end) {
                }
                const bool closed = *end == L'"';
                if (!closed || !CopyValue(rest, end, options->logPath, CommandLine::kRoom))
                    return void(Refuse(p, options));
                p = end + 1;
            } else {
                while (*end && !IsBlank(*end)) ++end;
                if (!CopyValue(rest, end, options->logPath, CommandLine::kRoom))
                    return void(Refuse(p, options));
                p = end;
            }
        } else {
            p = Refuse(p, options);
        }
    }
}

}  // namespace platform
