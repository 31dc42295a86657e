// GBK <-> UTF-16 at the Win32 boundary. Always code page 936, never CP_ACP: the installer must
// show and write correct Chinese names whatever the user's locale.
#pragma once

#include <cstddef>

namespace platform {

constexpr unsigned kGbkCodePage = 936;

// A GBK text widened for one W call. The room covers every text of the system (paths, the
// agreement text, messages with a full path); a longer text is cut and ok() says so.
class Wide {
public:
    static constexpr size_t kRoom = 2048;
    explicit Wide(const char* gbk);
    const wchar_t* c_str() const { return text_; }
    bool ok() const { return ok_; }

private:
    wchar_t text_[kRoom];
    bool ok_;
};

// Converts into `out` (room bytes, zero included). False, with `out` empty, when the text does
// not fit whole.
bool Narrow(const wchar_t* wide, char* out, size_t room);
// True when every character of `wide` has a GBK form (the round trip gives it back).
bool FitsGbk(const wchar_t* wide);
// Narrow, but false (with `out` empty) also when GBK cannot hold every character exactly: for
// paths, where a "?" would name another file.
bool ExactGbk(const wchar_t* wide, char* out, size_t room);

// Appends `text` to the wide `buffer` of `room` characters; false, with `buffer` unchanged, when
// it does not fit whole.
bool AppendWide(wchar_t* buffer, size_t room, const wchar_t* text);

// The system's text for `error` (in the user's language, so kept in UTF-16) as one line, its
// line breaks made blanks; its number when the system has no text, empty for 0.
void SystemReason(unsigned long error, wchar_t* text, int room);

// `path` made full (GetFullPathNameW: "..", "." and the current folder resolved) and long (short
// names such as PROGRA~1 made long for the part that exists: the path itself, or else its
// folder), as Windows names it; false when it cannot be made full or does not fit `room`.
bool FullLongPath(const wchar_t* path, wchar_t* full, size_t room);

// The Windows and the system folder as GBK, as the system reports them; false, with `folder`
// empty, when GBK cannot hold one exactly or it does not fit `room`.
bool WindowsFolder(char* folder, size_t room);
bool SystemFolder(char* folder, size_t room);

}  // namespace platform
