#include "package/trailer.h"

#include <algorithm>

#include "package/number.h"
#include "platform/file.h"

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

bool ReadTrailer(const std::string& path, PackageTrailer* trailer) {
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

std::string FormatTrailer(int32_t length, int32_t offset) {
    return "&LEN:" + FormatNumber(length) + ",SEEK:" + FormatNumber(offset) + ".";
}

void WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset) {
    const std::string text = FormatTrailer(length, offset);
    file.Write(text.data(), text.size());
}

}  // namespace package
