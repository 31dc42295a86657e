#include "package/trailer.h"

#include <algorithm>
#include <cstring>

#include "package/number.h"
#include "platform/gbk.h"

namespace package {

PackageTrailer ParseTrailerText(const char* text, size_t size) {
    // Only the positions of ':', ',' and '.' matter; the labels are never compared.
    const char* end = text + size;
    const char* colon = std::find(text, end, ':');
    const char* comma = std::find(text, end, ',');
    PackageTrailer trailer;
    if (colon < comma) trailer.length = ParseNumber(colon + 1, comma);
    if (comma < end) {
        const char* seekColon = std::find(comma, end, ':');
        const char* dot = std::find(text, end, '.');
        if (seekColon < dot) trailer.offset = ParseNumber(seekColon + 1, dot);
    }
    return trailer;
}

bool ReadTrailer(const platform::SysChar* path, PackageTrailer* trailer) {
    platform::RawFile file;
    if (!file.OpenRead(path)) return false;
    const int64_t fileLength = file.Length();
    const int64_t windowStart = std::max<int64_t>(0, fileLength - kTrailerWindow);
    char window[kTrailerWindow];
    if (file.Seek(windowStart, platform::RawFile::Origin::Begin) < 0) return false;
    const size_t got = file.Read(window, static_cast<size_t>(fileLength - windowStart));
    file.Close();

    // Walking backwards, the last "&" of the window starts the trailer; one standing on the
    // window's first byte would make a trailer of 127 bytes, which is too long.
    size_t amp = got;
    while (amp > 0 && window[amp - 1] != '&') --amp;
    if (amp <= 1) return false;
    *trailer = ParseTrailerText(window + amp, got - amp);
    trailer->trailerOffset = windowStart + static_cast<int64_t>(amp) - 1;
    return true;
}

size_t FormatTrailer(int32_t length, int32_t offset, char* text) {
    std::memcpy(text, "&LEN:", 5);
    size_t at = 5 + gbk::FormatDecimal(length, text + 5);
    std::memcpy(text + at, ",SEEK:", 6);
    at += 6;
    at += gbk::FormatDecimal(offset, text + at);
    text[at++] = '.';
    text[at] = '\0';
    return at;
}

bool WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset) {
    char text[kTrailerRoom];
    return file.Write(text, FormatTrailer(length, offset, text));
}

}  // namespace package
