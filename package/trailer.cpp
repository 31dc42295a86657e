#include "package/trailer.h"

#include <algorithm>
#include <cstring>

#include "package/number.h"
#include "package/package_end.h"
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

bool BlockBeforeTrailer(const PackageTrailer& trailer) {
    return trailer.length > 0 && trailer.offset >= 0 &&
           static_cast<int64_t>(trailer.offset) + trailer.length <= trailer.trailerOffset;
}

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The record after the trailer's "." (package/trailer.h). Text that does not begin with its
// label is some other tool's (a line end) and ignored; a record that begins so but is not whole
// was damaged.
ChecksumRecord ParseChecksumRecord(const char* text, const char* end) {
    ChecksumRecord record;
    const size_t label = sizeof kChecksumLabel - 1;
    if (static_cast<size_t>(end - text) < label || std::memcmp(text, kChecksumLabel, label) != 0)
        return record;
    record.state = ChecksumRecord::State::Damaged;
    const char* at = text + label;
    for (int i = 0; i < 8; ++i, ++at) {
        const int digit = at < end ? HexDigit(*at) : -1;
        if (digit < 0) return record;
        record.crc = record.crc << 4 | static_cast<uint32_t>(digit);
    }
    const size_t from = sizeof kChecksumFrom - 1;
    if (static_cast<size_t>(end - at) < from || std::memcmp(at, kChecksumFrom, from) != 0)
        return record;
    at += from;
    int digits = 0;
    for (; at < end && *at >= '0' && *at <= '9' && digits < 10; ++at, ++digits)
        record.from = record.from * 10 + (*at - '0');
    if (digits == 0 || at == end || *at++ != '.') return record;
    while (at < end && *at == ' ') ++at;
    if (at == end) record.state = ChecksumRecord::State::Present;
    return record;
}
}  // namespace

bool ReadTrailer(const platform::SysChar* path, PackageTrailer* trailer) {
    platform::RawFile file;
    return file.OpenRead(path) && ReadTrailer(file, trailer);
}

bool ReadTrailer(platform::RawFile& file, PackageTrailer* trailer) {
    int64_t dataEnd = 0;
    if (!FindDataEnd(file, &dataEnd)) {
        trailer->signatureDamaged = true;
        return false;
    }
    const int64_t windowStart = std::max<int64_t>(0, dataEnd - kTrailerWindow);
    char window[kTrailerWindow];
    if (file.Seek(windowStart, platform::RawFile::Origin::Begin) < 0) return false;
    const size_t got = file.Read(window, static_cast<size_t>(dataEnd - windowStart));

    // Walking backwards, the last "&" of the window starts the trailer; one standing on the
    // window's first byte would make a trailer of 127 bytes, which is too long.
    size_t amp = got;
    while (amp > 0 && window[amp - 1] != '&') --amp;
    if (amp <= 1) return false;
    *trailer = ParseTrailerText(window + amp, got - amp);
    trailer->trailerOffset = windowStart + static_cast<int64_t>(amp) - 1;
    trailer->dataEnd = dataEnd;
    const char* end = window + got;
    const char* dot = std::find(static_cast<const char*>(window + amp), end, '.');
    if (dot < end) {
        trailer->checksum = ParseChecksumRecord(dot + 1, end);
        trailer->checksum.to = windowStart + (dot + 1 - window);
        if (trailer->checksum.from > trailer->trailerOffset)
            trailer->checksum.state = ChecksumRecord::State::Damaged;
    }
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

size_t FormatChecksumRecord(uint32_t crc, int64_t from, char* text) {
    static const char kHex[] = "0123456789ABCDEF";
    size_t at = sizeof kChecksumLabel - 1;
    std::memcpy(text, kChecksumLabel, at);
    for (int shift = 28; shift >= 0; shift -= 4) text[at++] = kHex[(crc >> shift) & 0xF];
    std::memcpy(text + at, kChecksumFrom, sizeof kChecksumFrom - 1);
    at += sizeof kChecksumFrom - 1;
    at += gbk::FormatDecimal(from, text + at);
    text[at++] = '.';
    text[at] = '\0';
    return at;
}

bool WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset) {
    char text[kTrailerRoom];
    return file.Write(text, FormatTrailer(length, offset, text));
}

}  // namespace package
